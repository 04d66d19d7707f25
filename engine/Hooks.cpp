#include "engine/Hooks.h"

#include <shlwapi.h>

#include <algorithm>
#include <new>

#include "app/ProductProfile.h"
#include "app/SmartLogger.h"
#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/ProcessShutdown.h"
#include "engine/ProgramLauncher.h"
#include "engine/RegistryFileList.h"
#include "engine/SignerCheck.h"

const wchar_t kRunListKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestowp.exe\\run_list";

namespace {

constexpr DWORD kProgramWaitCapMs = 50000;
constexpr DWORD kRunListWaitMs = 60000;
constexpr DWORD kGuardHelperWaitMs = 5000;
constexpr size_t kMaxDirChars = 260;
constexpr size_t kRunListTextChars = 259;
constexpr size_t kFilePeTextChars = 2047;
constexpr size_t kMaxCommandLineChars = 2047;
constexpr int kInterfaceCapacity = 260;

using HookExport = int(WINAPI*)(const wchar_t*);
using InterfaceExport = int(WINAPI*)(const wchar_t*, wchar_t*, int);

template <typename Function>
Function FindExport(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

std::wstring Extension(const std::wstring& path) { return ::PathFindExtensionW(path.c_str()); }

bool EqualsNoCase(const std::wstring& a, const wchar_t* b) { return _wcsicmp(a.c_str(), b) == 0; }

std::string ToThreadAnsi(const wchar_t* text) {
  const int bytes = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string converted(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, &converted[0], bytes, nullptr, nullptr);
  converted.resize(static_cast<size_t>(bytes) - 1);
  return converted;
}

// The value names of a key, read before any hook runs so that a hook that
// edits the key cannot shift the enumeration.
std::vector<std::wstring> ValueNames(HKEY key) {
  std::vector<std::wstring> names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[260] = {};
    DWORD nameChars = 260;
    if (::RegEnumValueW(key, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, nameChars);
  }
  return names;
}

// The value's text, cut to maxChars; false when it is missing or not text.
bool ReadText(HKEY key, const std::wstring& name, size_t maxChars, std::wstring& text) {
  DWORD type = 0, bytes = 0;
  if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
  if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &bytes) !=
      ERROR_SUCCESS)
    return false;
  data.resize(std::min(wcslen(data.c_str()), maxChars));
  text = data;
  return true;
}

lumo::UniqueHkey OpenHookKey(const wchar_t* subKey) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS)
    key.reset();
  return key;
}

bool PassesSignType(const std::wstring& path, const wchar_t* signType) {
  if (_wcsicmp(signType, L"") == 0) return IsTrustedSignerFile(path.c_str());
  return IsSignedBy(path.c_str(), signType);
}

void RunUninstallProgram(const ProgramRecord& item, const std::wstring& dir) {
  const std::wstring path = lumo::JoinPath(dir, item.fileName);
  if (!lumo::FileExists(path)) {
    LUMO_LOG(L"file[%s] is not exist", path.c_str());
    return;
  }
  if (!PassesSignType(path, item.signType)) {
    LUMO_LOG(L"check sign fail, signType[%s], filepath[%s]", item.signType, path.c_str());
    return;
  }
  if (_wcsicmp(item.type, L"exe") == 0) {
    DWORD wait = static_cast<DWORD>(item.waitTime);
    if (wait == 0 || wait > kProgramWaitCapMs) wait = kProgramWaitCapMs;
    CallHookProgram(path, item.cmdline, SW_HIDE, item.sync != 0, wait);
  } else if (_wcsicmp(item.type, L"dll") == 0) {
    CallDllHook(path, ToThreadAnsi(item.funcName).c_str(), item.para, false);
  }
}

void RunRunListEntry(HKEY key, const std::wstring& name, const std::wstring& dir) {
  // Joined without doubling a separator: the kill by path before the start
  // compares the exact image path.
  const std::wstring path = lumo::JoinPath(dir, name);
  if (!lumo::FileExists(path)) return;
  std::wstring argument;
  ReadText(key, name, kRunListTextChars, argument);
  bool checkSignature = true;
  if (argument.find(L"/Regtest") != std::wstring::npos) {
    LUMO_LOG(L"Regtest, no need to check sign.");
    checkSignature = false;
  }
  const std::wstring extension = Extension(path);
  LUMO_LOG(L"file extension:%s", extension.c_str());
  if (EqualsNoCase(extension, L".DLL") || EqualsNoCase(extension, L".TPI")) {
    const std::wstring result = CallDllInterfaceEx(path, "Uninst", argument, checkSignature);
    LUMO_LOG(L"CallDllInterfaceEx return value=%s", result.c_str());
  } else if (EqualsNoCase(extension, L".EXE")) {
    const std::wstring parameters = argument + L" --PRODUCT=" + GetProductTypeName(0) + L" --PID=" + GetProductPid(0);
    KillProcessByPath(path.c_str());
    LUMO_LOG(L"call exe begin, path=[%s] ,cmd=[%s]", path.c_str(), parameters.c_str());
    LaunchProgram(path.c_str(), parameters.c_str(), SW_SHOWNORMAL, checkSignature, true, nullptr, kRunListWaitMs);
  }
}

void RunFilePeEntry(HKEY key, const std::wstring& name, const std::wstring& dir) {
  const std::wstring path = lumo::JoinPath(dir, name);
  if (!lumo::FileExists(path)) return;
  std::wstring text;
  if (!ReadText(key, name, kFilePeTextChars, text)) return;
  const std::wstring extension = Extension(path);
  if (EqualsNoCase(extension, L".dll")) {
    CallDllHook(path, "Uninst", text, true);
  } else if (EqualsNoCase(extension, L".exe")) {
    CallHookProgram(path, text + L" /uninstall /product=lumo", SW_SHOWNORMAL, true, kProgramWaitCapMs);
  }
}

std::wstring CallInterface(InterfaceExport function, const std::wstring& argument) {
  std::vector<wchar_t> buffer(kInterfaceCapacity + 1, L'\0');
  const int needed = function(argument.c_str(), buffer.data(), kInterfaceCapacity);
  if (needed > 0) {
    // The library asked for room for its answer: call again with that room.
    buffer.assign(static_cast<size_t>(needed) + 2, L'\0');
    function(argument.c_str(), buffer.data(), needed + 1);
  }
  return std::wstring(buffer.data());
}

}  // namespace

void CallHookProgram(const std::wstring& path, const std::wstring& parameters, int showCommand, bool wait,
                     DWORD waitMs) {
  if (!lumo::FileExists(path)) return;
  KillProcessByPath(path.c_str());
  LUMO_LOG(L"call exe begin, path=[%s] cmd=[%s]", path.c_str(), parameters.c_str());
  const bool started = LaunchProgram(path.c_str(), parameters.c_str(), showCommand, true, wait, nullptr, waitMs);
  LUMO_LOG(L"call exe return [%d], path=[%s], cmd=[%s], sync[%d]", started ? 1 : 0, path.c_str(),
           parameters.c_str(), wait ? 1 : 0);
}

void CallDllHook(const std::wstring& path, const char* exportName, const std::wstring& argument,
                 bool checkSignature) {
  if (path.empty()) return;
  if (checkSignature && !IsTrustedSignerFile(path.c_str())) {
    LUMO_LOG(L"file[%s] check sign fail.", path.c_str());
    return;
  }
  lumo::UniqueModule module(::LoadLibraryW(path.c_str()));
  if (!module) return;
  if (HookExport function = FindExport<HookExport>(module.get(), exportName)) {
    LUMO_LOG(L"call dll func start, path=[%s]", path.c_str());
    function(argument.c_str());
    LUMO_LOG(L"call dll fun end, path=[%s]", path.c_str());
  }
}

std::wstring CallDllInterfaceEx(const std::wstring& path, const char* exportName, const std::wstring& argument,
                                bool checkSignature) {
  LUMO_LOG(L"Call Dll Interface Ex ,path=[%s]", path.c_str());
  std::wstring result;
  if (path.empty()) return result;
  if (checkSignature && !IsTrustedSignerFile(path.c_str())) {
    LUMO_LOG(L"file[%s] check sign fail", path.c_str());
    return result;
  }
  lumo::UniqueModule module(::LoadLibraryW(path.c_str()));
  if (!module) return result;
  if (InterfaceExport function = FindExport<InterfaceExport>(module.get(), exportName)) {
    LUMO_LOG(L"call dll func start, path=[%s]", path.c_str());
    try {
      result = CallInterface(function, argument);
    } catch (const std::bad_alloc&) {  // an absurd size asked for
      result.clear();
    }
    LUMO_LOG(L"call dll fun end, path=[%s]", path.c_str());
  }
  return result;
}

void RunUninstallPrograms(const std::vector<ProgramRecord>& items, const std::wstring& installDir) {
  const std::wstring dir = installDir.substr(0, kMaxDirChars);
  for (const ProgramRecord& item : items) RunUninstallProgram(item, dir);
}

void RunRundllUnregistrations(const std::vector<RundllRecord>& items, const std::wstring& installDir,
                              bool is64BitSystem) {
  const std::wstring host =
      lumo::JoinPath(installDir, is64BitSystem ? L"Utils\\rundll64.exe" : L"Utils\\rundll.exe");
  if (!IsTrustedSignerFile(host.c_str())) return;
  for (const RundllRecord& item : items) {
    const std::wstring library = lumo::JoinPath(installDir, item.fileName);
    if (!lumo::FileExists(library)) {
      LUMO_LOG(L"file[%s] is not exist", library.c_str());
      continue;
    }
    const std::wstring parameters = L"--dll=\"" + library + L"\" --entry=" + item.entry + L" " + item.cmdline;
    // A negative wait time would wait without end; it means no wait.
    CallHookProgram(host, parameters, SW_HIDE, true, static_cast<DWORD>(std::max(item.waitTime, 0)));
  }
}

void RunRunListHooks(const std::wstring& installDir) {
  if (installDir.empty() || !lumo::DirectoryExists(installDir)) return;
  lumo::UniqueHkey key = OpenHookKey(kRunListKey);
  if (!key) return;
  for (const std::wstring& name : ValueNames(key.get())) RunRunListEntry(key.get(), name, installDir);
}

void RunFilePeHooks(const std::wstring& installDir) {
  if (installDir.empty() || !lumo::DirectoryExists(installDir)) return;
  lumo::UniqueHkey key = OpenHookKey(kFilePeKey);
  if (!key) return;
  for (const std::wstring& name : ValueNames(key.get())) RunFilePeEntry(key.get(), name, installDir);
}

void CallHelperModule(const std::wstring& installDir) {
  CallDllHook(lumo::JoinPath(installDir, L"wallpaperhelper\\Machiro12.dll"), "Uninst", L"", true);
}

void RunGuardHelper(const std::wstring& installDir) {
  const std::wstring helper = lumo::JoinPath(installDir, L"wallpaperhelper\\guardhp.exe");
  if (!IsTrustedSignerFile(helper.c_str())) return;
  std::wstring commandLine =
      L"\"" + helper + L"\" /UnInstallDesk /LockHomePagePath=\"" + helper + L"\" /Pid=kesto";
  if (commandLine.size() > kMaxCommandLineChars) return;  // cut, it would name another file
  STARTUPINFOW startup{};
  ::GetStartupInfoW(&startup);
  startup.dwFlags |= STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return;
  lumo::UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
  if (::WaitForSingleObject(processHandle.get(), kGuardHelperWaitMs) == WAIT_TIMEOUT)
    LUMO_LOG(L"\u7b49\u5f85\u8fdb\u7a0b\u9000\u51fa\u8d85\u65f6");
}
