#include "engine/ProgramLauncher.h"

#include <shellapi.h>

#include <string>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/SignerCheck.h"

namespace {

constexpr size_t kMaxPathChars = 260;
constexpr size_t kMaxQuotedChars = 1023;

bool IsUsablePath(const wchar_t* path) {
  if (!path || !*path) return false;
  if (wcslen(path) > kMaxPathChars) return false;
  return lumo::FileExists(path);
}

bool Launch(const wchar_t* path, const wchar_t* parameters, int showCommand, bool checkSignature, bool wait,
            DWORD* exitCode, DWORD waitMs) {
  const std::wstring quoted = L"\"" + std::wstring(path) + L"\"";
  if (quoted.size() > kMaxQuotedChars) return false;
  if (checkSignature && !IsTrustedSignerFile(path)) return false;

  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = quoted.c_str();
  info.lpParameters = parameters;
  info.nShow = showCommand;
  const bool started = ::ShellExecuteExW(&info) != FALSE;
  lumo::UniqueHandle process(started ? info.hProcess : nullptr);

  if (started && wait && process) ::WaitForSingleObject(process.get(), waitMs);
  if (exitCode) {
    if (!started) return false;
    DWORD code = STILL_ACTIVE;
    if (process) ::GetExitCodeProcess(process.get(), &code);
    *exitCode = code;
  }
  return started;
}

}  // namespace

bool LaunchProgram(const wchar_t* path, const wchar_t* parameters, int showCommand, bool checkSignature, bool wait,
                   DWORD* exitCode, DWORD waitMs) {
  if (!IsUsablePath(path)) return false;
  try {
    return Launch(path, parameters, showCommand, checkSignature, wait, exitCode, waitMs);
  } catch (...) {  // out of memory building the quoted path
    return false;
  }
}
