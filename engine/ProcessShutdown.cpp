#include "engine/ProcessShutdown.h"

#include <psapi.h>

#include <vector>

#include "app/ParentProcess.h"
#include "app/SmartLogger.h"
#include "base/Handles.h"
#include "base/TextUtil.h"
#include "setupconfig/SetupConfig.h"

namespace {

constexpr DWORD kMaxProcessIds = 2048;
constexpr DWORD kImagePathChars = 1024;
constexpr size_t kMaxDirChars = 260;
constexpr DWORD kControlWindowPauseMs = 2000;
const wchar_t kQuitMessageName[] = L"Zetawallpaper_quit";
const wchar_t kControlWindowClass[] = L"KestoWpCtrlCls";
const wchar_t* const kIgnoredImages[] = {L"RedOro\\RedOro.exe"};
const wchar_t* const kMainPrograms[] = {L"kestopendant.exe", L"kestowp.exe"};

bool EnumerateProcessIds(std::vector<DWORD>& ids) {
  ids.assign(kMaxProcessIds, 0);
  DWORD bytes = 0;
  if (!::EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return false;
  ids.resize(bytes / sizeof(DWORD));
  return true;
}

std::wstring UpperImagePath(DWORD pid) {
  wchar_t path[kImagePathChars] = {};
  if (!GetProcessImagePath(pid, path, kImagePathChars)) return std::wstring();
  return lumo::ToUpper(path);
}

// Terminates with exit code 0; false when the process cannot be opened.
bool TerminateById(DWORD pid) {
  lumo::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
  return process && ::TerminateProcess(process.get(), 0);
}

// Same layout as the system's PROCESS_BASIC_INFORMATION (24 bytes in a
// 32-bit process, the parent id in its sixth field).
bool IsIgnoredImage(const std::wstring& dir, const std::wstring& upperImage) {
  for (const wchar_t* entry : kIgnoredImages) {
    if (lumo::ToUpper(lumo::JoinPath(dir, entry)) == upperImage) return true;
  }
  return false;
}

void CloseProjectWindows(ISetupConfig& config) {
  for (int i = 0; i < config.GetCloseProgramCount(); ++i) {
    CloseProgramRecord item{};
    if (!config.GetCloseProgram(i, &item)) continue;
    HWND window = ::FindWindowW(item.windowClass, nullptr);
    if (!window) continue;
    DWORD_PTR reply = 0;
    ::SendMessageTimeoutW(window, item.message, item.wParam, item.lParam, SMTO_NORMAL, item.timeoutMs, &reply);
    // The control window's owner needs time to save its state and go.
    if (_wcsicmp(item.windowClass, kControlWindowClass) == 0) ::Sleep(kControlWindowPauseMs);
    LUMO_LOG(L"Send msg to %s wnd", item.windowClass);
  }
}

}  // namespace

bool IsPathInsideFolder(const std::wstring& path, const std::wstring& folder) {
  if (folder.empty()) return false;
  std::wstring prefix = lumo::ToUpper(folder);
  if (prefix.back() != L'\\' && prefix.back() != L'/') prefix += L'\\';
  const std::wstring upperPath = lumo::ToUpper(path);
  return upperPath.size() > prefix.size() && upperPath.compare(0, prefix.size(), prefix) == 0;
}

bool GetDebugPrivilege() {
  lumo::UniqueHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!::LookupPrivilegeValueW(nullptr, SE_DEBUG_NAME, &privileges.Privileges[0].Luid)) return false;
  if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr, nullptr)) return false;
  return ::GetLastError() == ERROR_SUCCESS;
}

DWORD GetProcessImagePath(DWORD pid, wchar_t* buffer, DWORD capacity) {
  if (!buffer || capacity < 100) return 0;
  lumo::UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process) {
    LUMO_LOG(L"[kill] OpenProcess Failed: pid = %d, error = %d", static_cast<int>(pid),
             static_cast<int>(::GetLastError()));
    return 0;
  }
  wchar_t name[kImagePathChars] = {};
  DWORD length = ::GetModuleFileNameExW(process.get(), nullptr, name, kImagePathChars);
  if (!length) {
    LUMO_LOG(L"[kill] GetModuleFileNameEx Failed: pid = %d, error = %d", static_cast<int>(pid),
             static_cast<int>(::GetLastError()));
    return 0;
  }
  if (wcschr(name, L'~')) {
    wchar_t longName[kImagePathChars] = {};
    const DWORD longLength = ::GetLongPathNameW(name, longName, kImagePathChars);
    if (longLength >= 1 && longLength < kImagePathChars) {
      wcscpy(name, longName);
      length = longLength;
    }
  }
  if (length >= capacity) length = capacity - 1;
  wmemcpy(buffer, name, length);
  buffer[length] = L'\0';
  return length;
}

int KillProcessByPath(const wchar_t* path) {
  if (!path || wcslen(path) > kMaxDirChars) return 0;
  GetDebugPrivilege();
  std::vector<DWORD> ids;
  if (!EnumerateProcessIds(ids)) return 0;
  const std::wstring target = lumo::ToUpper(path);
  for (DWORD pid : ids) {
    const std::wstring image = UpperImagePath(pid);
    if (image.empty() || image != target) continue;
    TerminateById(pid);
    LUMO_LOG(L"Kill process: %s", image.c_str());
  }
  return 0;
}

int KillMultiProcesses(const wchar_t* dir, int* killedCount) {
  LUMO_LOG(L"enter KillMultiProcesses");
  if (!dir) return 0;
  const size_t length = wcslen(dir);
  if (length < 4 || length > kMaxDirChars) return 0;
  if (killedCount) *killedCount = 0;
  GetDebugPrivilege();

  std::vector<DWORD> ids;
  if (!EnumerateProcessIds(ids)) {
    LUMO_LOG(L"EnumProcesses fail dwError = %lu", ::GetLastError());
    return 0;
  }
  const std::wstring folder(dir);
  const DWORD ownId = ::GetCurrentProcessId();
  const DWORD parentId = GetParentProcessId();
  int killed = 0;
  for (DWORD pid : ids) {
    if (pid == ownId || pid == parentId) continue;
    const std::wstring image = UpperImagePath(pid);
    // Only inside the folder: a sibling folder that merely shares the name's
    // beginning belongs to another program.
    if (image.empty() || !IsPathInsideFolder(image, folder)) continue;
    if (IsIgnoredImage(folder, image)) {
      LUMO_LOG(L"Ignore process : %s", image.c_str());
      continue;
    }
    TerminateById(pid);  // a process that cannot be opened is left alone
    LUMO_LOG(L"Kill process: %s", image.c_str());
    ++killed;
  }
  if (killedCount) *killedCount = killed;
  LUMO_LOG(L"end KillMultiProcesses");
  return 0;
}

void KillProcessesInInstallPath(ISetupConfig& config, const std::wstring& installDir) {
  const UINT quitMessage = ::RegisterWindowMessageW(kQuitMessageName);
  if (quitMessage) ::SendNotifyMessageW(HWND_BROADCAST, quitMessage, 0, 0);
  CloseProjectWindows(config);
  LUMO_LOG(L"enter KillProcessesInInstallPath szTargetDir=%s", installDir.c_str());
  if (installDir.size() <= 4) return;
  KillMultiProcesses(installDir.c_str());
  for (const wchar_t* name : kMainPrograms) KillProcessByPath(lumo::JoinPath(installDir, name).c_str());
  LUMO_LOG(L"end KillProcessesInInstallPath");
}
