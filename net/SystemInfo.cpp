#include "net/SystemInfo.h"

#include <atomic>
#include <vector>

#include "base/Handles.h"
#include "base/TextUtil.h"

namespace lumo {

namespace {

// -1 undecided, 0 no, 1 yes. Decided once; a race computes the same answer twice.
std::atomic<int> g_windows10{-1};
std::atomic<int> g_system64{-1};

constexpr USHORT kMachineArm64 = 0xAA64;

HMODULE SystemModule(const wchar_t* name) { return ::GetModuleHandleW(name); }

bool IsWindows10OrLater() {
  int known = g_windows10.load();
  if (known >= 0) return known == 1;
  using GetNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
  bool later = false;
  if (HMODULE ntdll = SystemModule(L"ntdll.dll")) {
    auto get = reinterpret_cast<GetNumbersFn>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetNtVersionNumbers")));
    if (get) {
      DWORD major = 0, minor = 0, build = 0;
      get(&major, &minor, &build);
      later = IsWindows10Version(major, minor);
    }
  }
  g_windows10.store(later ? 1 : 0);
  return later;
}

bool IsWow64() {
  using IsWow64Fn = BOOL(WINAPI*)(HANDLE, BOOL*);
  auto isWow64 = reinterpret_cast<IsWow64Fn>(
      reinterpret_cast<void*>(::GetProcAddress(SystemModule(L"kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

const VS_FIXEDFILEINFO* FixedInfo(const void* block) {
  void* data = nullptr;
  UINT size = 0;
  if (!::VerQueryValueW(block, L"\\", &data, &size) || !data || size < sizeof(VS_FIXEDFILEINFO)) return nullptr;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
  return fixed->dwSignature == VS_FFI_SIGNATURE ? fixed : nullptr;
}

}  // namespace

bool IsWindows10Version(DWORD major, DWORD minor) { return major > 9 || (major == 6 && minor == 4); }

bool Is64BitArchitecture(bool haveNativeInfo, WORD processorArchitecture, USHORT nativeMachine) {
  if (!haveNativeInfo) return false;
  if (processorArchitecture == PROCESSOR_ARCHITECTURE_IA64 ||
      processorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 || processorArchitecture == 12 /* ARM64 */)
    return true;
  // An x86 process on ARM64 Windows sees an x86 processor here.
  return nativeMachine == kMachineArm64;
}

bool IsSystem64Bit() {
  int known = g_system64.load();
  if (known >= 0) return known == 1;
  HMODULE kernel = SystemModule(L"kernel32.dll");
  using NativeInfoFn = void(WINAPI*)(SYSTEM_INFO*);
  using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  auto nativeInfo = reinterpret_cast<NativeInfoFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "GetNativeSystemInfo")));
  bool is64 = false;
  if (nativeInfo) {
    SYSTEM_INFO info{};
    nativeInfo(&info);
    USHORT nativeMachine = 0;
    if (!Is64BitArchitecture(true, info.wProcessorArchitecture, 0)) {
      auto isWow64Process2 = reinterpret_cast<IsWow64Process2Fn>(
          reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process2")));
      USHORT processMachine = 0;
      if (!isWow64Process2 || !isWow64Process2(::GetCurrentProcess(), &processMachine, &nativeMachine))
        nativeMachine = 0;
    }
    is64 = Is64BitArchitecture(true, info.wProcessorArchitecture, nativeMachine);
  }
  g_system64.store(is64 ? 1 : 0);
  return is64;
}

bool VersionTextFromBlock(const void* block, bool preferStringTable, std::wstring& version) {
  if (!block) return false;
  if (preferStringTable) {
    void* data = nullptr;
    UINT size = 0;
    if (::VerQueryValueW(block, L"\\VarFileInfo\\Translation", &data, &size) && data) {
      const WORD* pairs = static_cast<const WORD*>(data);
      for (UINT i = 0; i + 1 < size / sizeof(WORD); i += 2) {
        const std::wstring query = Format(L"\\StringFileInfo\\%04x%04x\\FileVersion", pairs[i], pairs[i + 1]);
        void* text = nullptr;
        UINT chars = 0;
        if (!::VerQueryValueW(block, query.c_str(), &text, &chars) || !text) continue;
        // The length counts the terminator; the text is bounded by it either way.
        const wchar_t* begin = static_cast<const wchar_t*>(text);
        std::wstring cleaned;
        for (UINT k = 0; k < chars && begin[k]; ++k) {
          if (begin[k] == L' ') continue;
          cleaned.push_back(begin[k] == L',' ? L'.' : begin[k]);
        }
        if (!cleaned.empty()) {
          version = cleaned;
          return true;
        }
        break;
      }
    }
  }
  const VS_FIXEDFILEINFO* fixed = FixedInfo(block);
  if (!fixed) return false;
  version = Format(L"%d.%d.%d.%d", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                   HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
  return true;
}

bool GetFileVersionText(const std::wstring& path, std::wstring& version) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<BYTE> block(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;
  const bool windows10 = IsWindows10OrLater();
  return VersionTextFromBlock(block.data(), windows10 && !IsSystem64Bit(), version);
}

}  // namespace lumo

namespace {

DWORD Combined(DWORD major, DWORD minor) { return major * 10 + minor; }

}  // namespace

COSVersionCheck::COSVersionCheck() : version_{} {
  source_ = -1;
  version_.dwOSVersionInfoSize = sizeof(version_);
  ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version_));
  const bool wow64 = lumo::IsWow64();
  if (version_.dwMajorVersion == 5 && wow64) {
    source_ = 0;
    return;
  }

  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (rtlGetVersion) {
    OSVERSIONINFOEXW second{};
    second.dwOSVersionInfoSize = sizeof(second);
    if (rtlGetVersion(&second) == 0 &&
        Combined(second.dwMajorVersion, second.dwMinorVersion) >
            Combined(version_.dwMajorVersion, version_.dwMinorVersion))
      version_ = second;
  }

  wchar_t windows[MAX_PATH] = {};
  const UINT length = ::GetSystemWindowsDirectoryW(windows, MAX_PATH);
  if (length < 1 || length > 259) {
    source_ = 0;
    return;
  }
  // The directory comes without its trailing backslash.
  const std::wstring kernel =
      lumo::JoinPath(windows, wow64 ? L"SysNative\\ntoskrnl.exe" : L"System32\\ntoskrnl.exe");
  source_ = 0;
  lumo::UniqueModule module(::LoadLibraryExW(kernel.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return;
  HRSRC resource = ::FindResourceW(module.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
  const DWORD size = resource ? ::SizeofResource(module.get(), resource) : 0;
  HGLOBAL loaded = size ? ::LoadResource(module.get(), resource) : nullptr;
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) return;
  // VerQueryValue may write into its block, so it works on a copy.
  std::vector<BYTE> copy(static_cast<const BYTE*>(bytes), static_cast<const BYTE*>(bytes) + size);
  copy.resize(size * 2 + 16);
  const VS_FIXEDFILEINFO* fixed = lumo::FixedInfo(copy.data());
  if (!fixed) return;
  const DWORD major = HIWORD(fixed->dwProductVersionMS), minor = LOWORD(fixed->dwProductVersionMS);
  if (Combined(major, minor) > Combined(version_.dwMajorVersion, version_.dwMinorVersion)) {
    version_.dwMajorVersion = major;
    version_.dwMinorVersion = minor;
    version_.dwBuildNumber = HIWORD(fixed->dwProductVersionLS);
    source_ = 1;
  }
}
