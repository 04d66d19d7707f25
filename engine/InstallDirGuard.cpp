#include "engine/InstallDirGuard.h"

#include <windows.h>
#include <shlobj.h>

#include "base/TextUtil.h"

namespace {

std::wstring ShellFolder(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return std::wstring();
  return buffer;
}

std::wstring EnvironmentFolder(const wchar_t* name) {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD n = ::GetEnvironmentVariableW(name, buffer, MAX_PATH);
  return (n == 0 || n >= MAX_PATH) ? std::wstring() : std::wstring(buffer, n);
}

std::wstring WindowsFolder() {
  wchar_t buffer[MAX_PATH] = {};
  const UINT n = ::GetWindowsDirectoryW(buffer, MAX_PATH);
  return (n == 0 || n >= MAX_PATH) ? std::wstring() : std::wstring(buffer, n);
}

bool IsDriveRoot(const std::wstring& normalized) {
  std::wstring path = normalized;
  if (path.compare(0, 4, L"\\\\?\\") == 0) path = path.substr(4);
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  if (path.size() <= 2 && (path.size() < 2 || path[1] == L':')) return true;  // "", "C", "C:"
  if (path.compare(0, 2, L"\\\\") == 0) {  // UNC: \\server\share is the root
    const size_t server = path.find(L'\\', 2);
    return server == std::wstring::npos || path.find(L'\\', server + 1) == std::wstring::npos;
  }
  return false;
}

}  // namespace

std::wstring NormalizedPath(const std::wstring& path) {
  if (path.empty()) return path;
  wchar_t buffer[32768];
  const DWORD n = ::GetFullPathNameW(path.c_str(), 32768, buffer, nullptr);
  std::wstring full = (n == 0 || n >= 32768) ? path : std::wstring(buffer, n);
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  if (full.size() == 2 && full[1] == L':') full += L'\\';
  return full;
}

bool PathsEqual(const std::wstring& a, const std::wstring& b) {
  return lumo::ToUpper(NormalizedPath(a)) == lumo::ToUpper(NormalizedPath(b));
}

bool IsStrictlyInside(const std::wstring& path, const std::wstring& directory) {
  std::wstring inner = lumo::ToUpper(NormalizedPath(path));
  std::wstring outer = lumo::ToUpper(NormalizedPath(directory));
  if (outer.empty() || inner.size() <= outer.size()) return false;
  if (outer.back() != L'\\') outer += L'\\';
  return inner.compare(0, outer.size(), outer) == 0;
}

std::vector<std::wstring> SystemProtectedFolders() {
  std::vector<std::wstring> folders{WindowsFolder()};  // first: everything inside it is refused too
  const std::wstring profile = ShellFolder(CSIDL_PROFILE);
  for (const std::wstring& folder :
       {ShellFolder(CSIDL_SYSTEM), ShellFolder(CSIDL_SYSTEMX86), ShellFolder(CSIDL_PROGRAM_FILES),
        ShellFolder(CSIDL_PROGRAM_FILESX86), EnvironmentFolder(L"ProgramW6432"),
        ShellFolder(CSIDL_PROGRAM_FILES_COMMON), ShellFolder(CSIDL_PROGRAM_FILES_COMMONX86),
        ShellFolder(CSIDL_COMMON_APPDATA), lumo::DirectoryOf(profile), profile,
        ShellFolder(CSIDL_DESKTOPDIRECTORY), ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY),
        ShellFolder(CSIDL_PERSONAL), ShellFolder(CSIDL_COMMON_DOCUMENTS), ShellFolder(CSIDL_APPDATA),
        ShellFolder(CSIDL_LOCAL_APPDATA), lumo::TempDirectory()}) {
    if (!folder.empty()) folders.push_back(folder);
  }
  return folders;
}

std::wstring ProtectionReason(const std::wstring& directory, const std::vector<std::wstring>& protectedFolders) {
  if (directory.empty()) return L"empty";
  const std::wstring normalized = NormalizedPath(directory);
  if (IsDriveRoot(normalized)) return L"a drive root";
  for (size_t i = 0; i < protectedFolders.size(); ++i) {
    const std::wstring& folder = protectedFolders[i];
    if (folder.empty()) continue;
    if (PathsEqual(normalized, folder)) return L"the system folder " + folder;
    if (IsStrictlyInside(folder, normalized)) return L"a folder holding the system folder " + folder;
    if (i == 0 && IsStrictlyInside(normalized, folder)) return L"inside the system folder " + folder;
  }
  return std::wstring();
}

bool IsProtectedFolder(const std::wstring& directory) {
  return !ProtectionReason(directory, SystemProtectedFolders()).empty();
}
