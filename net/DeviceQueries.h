#pragma once
// The machine facts the identifiers are made of, behind one interface so
// that the rules that pick and format them can run on recorded answers.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumo {

// One open device; requests go to it in the order they are made.
class IDevice {
 public:
  virtual ~IDevice() = default;
  // One DeviceIoControl request. reply holds the bytes that came back.
  virtual bool Request(DWORD code, const std::string& input, DWORD replyCapacity, std::string& reply) = 0;
};

// One entry of the system's adapter list.
struct NetAdapter {
  std::wstring name;  // "{GUID}"
  std::wstring description;
  UINT type = 0;        // 6 Ethernet, 71 802.11, ...
  std::string address;  // raw address bytes
};

class IDeviceQueries {
 public:
  virtual ~IDeviceQueries() = default;

  // Null when the device cannot be opened.
  virtual std::unique_ptr<IDevice> OpenDevice(const std::wstring& path, DWORD access, DWORD share) = 0;

  // HKLM in the 32-bit registry view. False when the key cannot be opened.
  virtual bool SubKeyNames(const std::wstring& key, size_t limit, std::vector<std::wstring>& names) = 0;
  // REG_SZ or REG_EXPAND_SZ that ends in its NUL.
  virtual bool ReadText(const std::wstring& key, const std::wstring& name, std::wstring& text) = 0;
  // REG_DWORD, or a decimal REG_SZ.
  virtual bool ReadNumber(const std::wstring& key, const std::wstring& name, DWORD& value) = 0;

  virtual std::vector<NetAdapter> Adapters() = 0;
  // The address of the first NetBIOS LAN adapter.
  virtual bool NetbiosAddress(std::string& address) = 0;

  // regs: EAX, EBX, ECX, EDX. False when the instruction is not there.
  virtual bool Cpuid(uint32_t leaf, uint32_t (&regs)[4]) = 0;
  // 1 elevated, 0 not elevated, -1 the token could not tell.
  virtual int TokenElevation() = 0;
  virtual void WindowsVersion(DWORD& major, DWORD& minor) = 0;
  virtual bool NewGuid(GUID& guid) = 0;
  virtual void Wait(DWORD milliseconds) = 0;

  // The two CPU texts, made from Cpuid. The machine's own queries work
  // them out once per process.
  virtual std::string MidCpuText();
  virtual std::string Mid2CpuText();
};

// The machine itself.
IDeviceQueries& SystemDeviceQueries();

}  // namespace lumo
