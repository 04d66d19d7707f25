#include "engine/HidingFolder.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cwctype>

#include "app/SmartLogger.h"
#include "base/TextUtil.h"
#include "engine/FileRemoval.h"

namespace {

constexpr int kHiddenNameAttempts = 10;

std::wstring UpperWindowsFolder() {
  wchar_t buffer[MAX_PATH] = {};
  const UINT n = ::GetWindowsDirectoryW(buffer, MAX_PATH);
  return (n == 0 || n >= MAX_PATH) ? std::wstring() : lumo::ToUpper(std::wstring(buffer, n));
}

std::wstring GuidFileName() {
  GUID guid{};
  ::CoCreateGuid(&guid);
  return lumo::Format(L"{%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}.tmp", guid.Data1, guid.Data2,
                      guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                      guid.Data4[5], guid.Data4[6], guid.Data4[7]);
}

}  // namespace

std::wstring HidingFolderFor(const std::wstring& path) {
  if (path.empty()) return std::wstring();
  const std::wstring windows = UpperWindowsFolder();
  if (!windows.empty() && lumo::ToUpper(path.substr(0, 1))[0] == windows[0]) return lumo::TempDirectory();
  const std::wstring folder = lumo::Format(L"%c:\\.temp", path[0]);
  if (!PathExists(folder)) {
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
  }
  return folder;
}

std::wstring NewHiddenName(const std::wstring& hidingFolder) {
  if (hidingFolder.empty() || hidingFolder.size() > MAX_PATH) return std::wstring();
  for (int attempt = 0; attempt < kHiddenNameAttempts; ++attempt) {
    const std::wstring name = lumo::JoinPath(hidingFolder, GuidFileName());
    if (!PathExists(name)) return name;
  }
  return std::wstring();
}

bool MoveToHiding(const std::wstring& path, std::wstring& hiddenName) {
  hiddenName.clear();
  if (path.empty() || !PathExists(path)) return false;
  hiddenName = NewHiddenName(HidingFolderFor(path));
  // No copy fallback: a copy of a file in use would fail, or leave the original.
  if (hiddenName.empty() || !::MoveFileExW(path.c_str(), hiddenName.c_str(), 0)) {
    LUMO_LOG(L"move %s to %s, failed, error=%d", path.c_str(), hiddenName.c_str(),
             static_cast<int>(::GetLastError()));
    return false;
  }
  if (PathExists(path)) {
    DeleteOrSchedule(hiddenName);
    return false;
  }
  return true;
}
