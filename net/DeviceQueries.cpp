#include "net/DeviceQueries.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <nb30.h>
#include <objbase.h>

#include <cpuid.h>

#include <cstdlib>
#include <cstring>

#include "base/Handles.h"
#include "base/Locks.h"
#include "base/TextUtil.h"
#include "net/MachineId.h"
#include "net/SystemInfo.h"

namespace lumo {

std::string IDeviceQueries::MidCpuText() { return FormatMidCpuText(*this); }
std::string IDeviceQueries::Mid2CpuText() { return FormatMid2CpuText(*this); }

namespace {

class SystemDevice : public IDevice {
 public:
  explicit SystemDevice(HANDLE handle) : handle_(handle) {}
  bool Request(DWORD code, const std::string& input, DWORD replyCapacity, std::string& reply) override {
    reply.assign(replyCapacity, '\0');
    DWORD returned = 0;
    std::string in = input;  // the call takes a writable input buffer
    if (!::DeviceIoControl(handle_.get(), code, in.empty() ? nullptr : &in[0], static_cast<DWORD>(in.size()),
                           replyCapacity ? &reply[0] : nullptr, replyCapacity, &returned, nullptr)) {
      reply.clear();
      return false;
    }
    reply.resize(returned);
    return true;
  }

 private:
  UniqueFile handle_;
};

class SystemQueries : public IDeviceQueries {
 public:
  std::unique_ptr<IDevice> OpenDevice(const std::wstring& path, DWORD access, DWORD share) override {
    HANDLE handle = ::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<SystemDevice>(handle);
  }

  bool SubKeyNames(const std::wstring& path, size_t limit, std::vector<std::wstring>& names) override {
    UniqueHkey key;
    if (!Open(path, key)) return false;
    names.clear();
    wchar_t name[256];
    for (DWORD index = 0; names.size() < limit; ++index) {
      DWORD chars = 256;
      const LONG result = ::RegEnumKeyExW(key.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr);
      if (result == ERROR_MORE_DATA) continue;
      if (result != ERROR_SUCCESS) break;
      names.emplace_back(name, chars);
    }
    return true;
  }

  bool ReadText(const std::wstring& path, const std::wstring& name, std::wstring& text) override {
    DWORD type = 0;
    std::string bytes;
    if (!Read(path, name, type, bytes) || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    if (bytes.size() < 2 || bytes.size() % 2 || bytes[bytes.size() - 1] || bytes[bytes.size() - 2]) return false;
    text.assign(reinterpret_cast<const wchar_t*>(bytes.data()));
    return true;
  }

  bool ReadNumber(const std::wstring& path, const std::wstring& name, DWORD& value) override {
    DWORD type = 0;
    std::string bytes;
    if (!Read(path, name, type, bytes)) return false;
    if (type == REG_DWORD && bytes.size() == 4) {
      std::memcpy(&value, bytes.data(), 4);
      return true;
    }
    std::wstring text;
    if (!ReadText(path, name, text) || text.empty()) return false;
    wchar_t* end = nullptr;
    value = std::wcstoul(text.c_str(), &end, 10);
    return end && *end == L'\0';
  }

  std::vector<NetAdapter> Adapters() override {
    std::vector<NetAdapter> adapters;
    ULONG size = 0;
    if (::GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return adapters;
    std::vector<BYTE> buffer(size);
    auto* list = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (::GetAdaptersInfo(list, &size) != ERROR_SUCCESS) return adapters;
    for (const IP_ADAPTER_INFO* a = list; a; a = a->Next) {
      NetAdapter adapter;
      adapter.name = Wide(a->AdapterName);
      adapter.description = Wide(a->Description);
      adapter.type = a->Type;
      adapter.address.assign(reinterpret_cast<const char*>(a->Address),
                             std::min<UINT>(a->AddressLength, MAX_ADAPTER_ADDRESS_LENGTH));
      adapters.push_back(std::move(adapter));
    }
    return adapters;
  }

  bool NetbiosAddress(std::string& address) override {
    wchar_t system[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    UniqueModule netapi(::LoadLibraryW(JoinPath(system, L"Netapi32.dll").c_str()));
    using NetbiosFn = UCHAR(APIENTRY*)(PNCB);
    auto netbios = netapi ? reinterpret_cast<NetbiosFn>(
                                reinterpret_cast<void*>(::GetProcAddress(netapi.get(), "Netbios")))
                          : nullptr;
    if (!netbios) return false;
    LANA_ENUM lanas{};
    NCB ncb{};
    ncb.ncb_command = NCBENUM;
    ncb.ncb_buffer = reinterpret_cast<PUCHAR>(&lanas);
    ncb.ncb_length = sizeof(lanas);
    if (netbios(&ncb) != NRC_GOODRET || lanas.length == 0) return false;
    ncb = NCB{};
    ncb.ncb_command = NCBRESET;
    ncb.ncb_lana_num = lanas.lana[0];
    if (netbios(&ncb) != NRC_GOODRET) return false;
    UCHAR status[600] = {};
    ncb = NCB{};
    ncb.ncb_command = NCBASTAT;
    ncb.ncb_lana_num = lanas.lana[0];
    std::memset(ncb.ncb_callname, ' ', NCBNAMSZ);
    ncb.ncb_callname[0] = '*';
    ncb.ncb_buffer = status;
    ncb.ncb_length = sizeof(status);
    if (netbios(&ncb) != NRC_GOODRET) return false;
    address.assign(reinterpret_cast<const char*>(status), 6);
    return true;
  }

  bool Cpuid(uint32_t leaf, uint32_t (&regs)[4]) override {
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(leaf, 0, a, b, c, d);
    regs[0] = a;
    regs[1] = b;
    regs[2] = c;
    regs[3] = d;
    return true;
  }

  int TokenElevation() override {
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return -1;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), ::TokenElevation, &elevation, sizeof(elevation), &size)) return -1;
    return elevation.TokenIsElevated ? 1 : 0;
  }

  void WindowsVersion(DWORD& major, DWORD& minor) override {
    major = minor = 0;
    if (const COSVersionCheck* check = COSVersionCheck::instance()) {
      major = check->Version().dwMajorVersion;
      minor = check->Version().dwMinorVersion;
    }
  }

  bool NewGuid(GUID& guid) override { return SUCCEEDED(::CoCreateGuid(&guid)); }
  void Wait(DWORD milliseconds) override { ::Sleep(milliseconds); }

  // Worked out once per process.
  std::string MidCpuText() override {
    _BaseModule::CAutoLocker locked(&cpuLock_);
    if (!midCpuDone_) midCpu_ = IDeviceQueries::MidCpuText();
    midCpuDone_ = true;
    return midCpu_;
  }
  std::string Mid2CpuText() override {
    _BaseModule::CAutoLocker locked(&cpuLock_);
    if (!mid2CpuDone_) mid2Cpu_ = IDeviceQueries::Mid2CpuText();
    mid2CpuDone_ = true;
    return mid2Cpu_;
  }

 private:
  static bool Open(const std::wstring& path, UniqueHkey& key) {
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) ==
           ERROR_SUCCESS;
  }

  static bool Read(const std::wstring& path, const std::wstring& name, DWORD& type, std::string& bytes) {
    UniqueHkey key;
    if (!Open(path, key)) return false;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size > 65536)
      return false;
    bytes.assign(size, '\0');
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                           size ? reinterpret_cast<BYTE*>(&bytes[0]) : nullptr, &size) != ERROR_SUCCESS)
      return false;
    bytes.resize(size);
    return true;
  }

  static std::wstring Wide(const char* text) {
    wchar_t wide[512] = {};
    return ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 512) > 0 ? std::wstring(wide) : std::wstring();
  }

  _BaseModule::CCriticalSection cpuLock_;
  std::string midCpu_, mid2Cpu_;
  bool midCpuDone_ = false, mid2CpuDone_ = false;
};

}  // namespace

IDeviceQueries& SystemDeviceQueries() {
  static SystemQueries queries;
  return queries;
}

}  // namespace lumo
