#include "engine/PluginTask.h"

#include <windows.h>

#include "app/SettingsFile.h"
#include "app/SmartLogger.h"
#include "base/Handles.h"
#include "engine/ProgramLauncher.h"

namespace {

const wchar_t kLauncherKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DEDEvazevudiVevede.exe";
constexpr DWORD kLauncherWaitMs = 3000;
constexpr size_t kMaxTextChars = 259;

std::wstring ReadLauncherPath() {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLauncherKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS)
    return std::wstring();
  wchar_t value[kMaxTextChars + 1] = {};
  DWORD type = 0;
  DWORD bytes = sizeof(value) - sizeof(wchar_t);  // keeps the terminator
  if (::RegQueryValueExW(key.get(), L"Launcher", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::wstring();
  return value;
}

}  // namespace

void CPluginTask::StartTask(const std::wstring& installDir) {
  installDir_ = installDir;
  commandParameters_ =
      ReadSetting(InstallSettingsPath(installDir_), L"plugin_nx", L"uninstall_cmd_param", L"", kMaxTextChars + 1);
  int result = 0;
  DWORD exitCode = static_cast<DWORD>(-1);
  if (!commandParameters_.empty()) {
    launcherPath_ = ReadLauncherPath();
    if (!launcherPath_.empty())
      result = LaunchProgram(launcherPath_.c_str(), commandParameters_.c_str(), SW_SHOWNORMAL, false, true,
                             &exitCode, kLauncherWaitMs)
                   ? 1
                   : 0;
  }
  LUMO_LOG(L"CPluginTask::StartTask result=%d code=%d", result, static_cast<int>(exitCode));
}
