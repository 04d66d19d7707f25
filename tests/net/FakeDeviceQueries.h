#pragma once
// Recorded machine answers for the identifier rules: devices answer only the
// requests they were given, the registry holds only what a test put there.
#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "net/DeviceQueries.h"

namespace lumo::test {

constexpr DWORD kAnyAccess = 0xFFFFFFFF;

class FakeDeviceQueries : public lumo::IDeviceQueries {
 public:
  struct DeviceAnswer {
    DWORD access = kAnyAccess;  // the access the device must be opened with
    DWORD code = 0;
    std::function<bool(const std::string&)> accepts;  // input check; empty: any input
    std::string reply;
  };

  // --- devices ---
  void Answer(const std::wstring& path, DWORD code, const std::string& reply, DWORD access = kAnyAccess,
              std::function<bool(const std::string&)> accepts = nullptr);
  // Drive answers in the shapes the identifier code asks for.
  void SmartDrive(int drive, uint8_t deviceMap, const std::string& identify, DWORD access = kAnyAccess);
  void StorageDescriptor(int drive, const std::string& descriptor);
  void NdisAdapter(const std::wstring& service, const std::string& address, int mediumEx = -1, int medium = -1);

  // --- registry (HKLM, keys as written, compared without case) ---
  void SetText(const std::wstring& key, const std::wstring& name, const std::wstring& text);
  void SetNumber(const std::wstring& key, const std::wstring& name, DWORD value);
  // A network card that the class key marks as a PCI adapter (bus 5) unless told otherwise.
  void NetworkCard(const std::wstring& service, const std::wstring& driverDesc = L"Ethernet Controller",
                   DWORD busType = 5, const std::wstring& lowerRange = L"ethernet");

  // --- processor ---
  void Processor(const char* vendor, uint32_t signature, uint32_t features, const char* brand);

  // IDeviceQueries
  std::unique_ptr<lumo::IDevice> OpenDevice(const std::wstring& path, DWORD access, DWORD share) override;
  bool SubKeyNames(const std::wstring& key, size_t limit, std::vector<std::wstring>& names) override;
  bool ReadText(const std::wstring& key, const std::wstring& name, std::wstring& text) override;
  bool ReadNumber(const std::wstring& key, const std::wstring& name, DWORD& value) override;
  std::vector<lumo::NetAdapter> Adapters() override {
    ++hardwareQueries;
    return adapters;
  }
  bool NetbiosAddress(std::string& address) override;
  bool Cpuid(uint32_t leaf, uint32_t (&regs)[4]) override;
  int TokenElevation() override { return elevation; }
  void WindowsVersion(DWORD& major, DWORD& minor) override {
    major = windowsMajor;
    minor = windowsMinor;
  }
  bool NewGuid(GUID& guid) override;
  void Wait(DWORD milliseconds) override;

  std::vector<lumo::NetAdapter> adapters;
  std::string netbios;  // empty: NetBIOS fails
  std::map<uint32_t, std::array<uint32_t, 4>> cpuid;
  int elevation = 1;
  DWORD windowsMajor = 10, windowsMinor = 0;
  bool guidWorks = true;
  GUID guid = {0x01020304, 0x0506, 0x0708, {0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10}};
  std::function<void()> onWait;
  int waits = 0;
  int hardwareQueries = 0;  // devices opened, adapter lists and CPUID asked

 private:
  struct Value {
    DWORD type;
    std::wstring text;
    DWORD number;
  };
  static std::wstring Lower(const std::wstring& text);
  std::map<std::wstring, std::vector<DeviceAnswer>> devices_;
  std::map<std::wstring, std::map<std::wstring, Value>> keys_;  // lower-case paths and names
  std::map<std::wstring, std::wstring> keyNames_;               // lower-case path -> as written
};

// IDENTIFY data with serial (words 10-19) and model (27-46) stored as ATA
// does: two characters per word, the first in the high byte.
std::string IdentifyData(const std::string& serial, const std::string& model);
// A storage device descriptor with its strings after the fixed part.
std::string DescriptorBytes(const std::string& vendor, const std::string& product, const std::string& serial,
                            uint32_t busType, bool removable = false);

}  // namespace lumo::test
