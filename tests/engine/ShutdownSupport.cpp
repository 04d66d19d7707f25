#include "ShutdownSupport.h"

#include <psapi.h>
#include <shlobj.h>

#include <vector>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/ProcessShutdown.h"

namespace lumo::test {

std::wstring HookFixture(const std::wstring& name) {
  return lumo::JoinPath(lumo::DirectoryOf(lumo::ModulePath()), L"fixtures\\hooks\\" + name);
}

bool PlaceFixture(const std::wstring& name, const std::wstring& target) {
  ::SHCreateDirectoryExW(nullptr, lumo::DirectoryOf(target).c_str(), nullptr);
  return ::CopyFileW(HookFixture(name).c_str(), target.c_str(), FALSE) != FALSE;
}

std::wstring RecordOf(const std::wstring& path) {
  const std::string bytes = ReadFileBytes(path + L".log");
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

bool WaitUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < 600; ++i) {
    if (condition()) return true;
    ::Sleep(50);
  }
  return condition();
}

bool IsPathRunning(const std::wstring& path) {
  std::vector<DWORD> ids(2048);
  DWORD bytes = 0;
  if (!::EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return false;
  ids.resize(bytes / sizeof(DWORD));
  for (DWORD pid : ids) {
    wchar_t image[1024] = {};
    if (GetProcessImagePath(pid, image, 1024) && _wcsicmp(image, path.c_str()) == 0) return true;
  }
  return false;
}

std::wstring ReadLogText(const std::wstring& path) {
  const std::string bytes = ReadFileBytes(path);
  const int n = ::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
  if (n > 0) ::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
  return text;
}

RunningProgram::RunningProgram(const std::wstring& path, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + path + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!::CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_))
    process_ = PROCESS_INFORMATION{};
}

RunningProgram::~RunningProgram() {
  if (!process_.hProcess) return;
  if (Running()) {
    ::TerminateProcess(process_.hProcess, 1);
    ::WaitForSingleObject(process_.hProcess, 10000);
  }
  ::CloseHandle(process_.hThread);
  ::CloseHandle(process_.hProcess);
}

bool RunningProgram::Running() const {
  return process_.hProcess && ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD RunningProgram::ExitCode() const {
  if (!process_.hProcess) return STILL_ACTIVE;
  ::WaitForSingleObject(process_.hProcess, 30000);
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

StayingProgram::StayingProgram(const std::wstring& path) : RunningProgram(path, L"--stay") {
  ready_ = started() && WaitUntil([&] { return RecordOf(path).find(L"--stay") != std::wstring::npos; });
}

ScopedHookKey::ScopedHookKey(const std::wstring& subKey) : subKey_(subKey) {
  // Find the outermost missing component so that cleaning up leaves the
  // registry as it was.
  size_t position = 0;
  while (position != std::wstring::npos) {
    position = subKey.find(L'\\', position + 1);
    const std::wstring part = subKey.substr(0, position);
    lumo::UniqueHkey probe;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, part.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, probe.put()) !=
        ERROR_SUCCESS) {
      firstCreated_ = part;
      break;
    }
  }
  lumo::UniqueHkey key;
  ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                    key.put(), nullptr);
}

ScopedHookKey::~ScopedHookKey() {
  if (!firstCreated_.empty()) {
    lumo::UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, firstCreated_.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, key.put()) ==
        ERROR_SUCCESS)
      ::RegDeleteTreeW(key.get(), nullptr);
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, firstCreated_.c_str(), KEY_WOW64_32KEY, 0);
    return;
  }
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS)
    return;
  for (const std::wstring& name : names_) ::RegDeleteValueW(key.get(), name.c_str());
}

bool ScopedHookKey::SetText(const std::wstring& name, const std::wstring& value) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS)
    return false;
  names_.push_back(name);
  return ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace lumo::test
