#include "engine/RegistryFileList.h"

#include <windows.h>

#include "app/SmartLogger.h"
#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/InstallDirGuard.h"

const wchar_t kFileListKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestowp.exe\\file_list";
const wchar_t kFilePeKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestowp.exe\\file_pe";

namespace {

void RemoveListedPath(const std::wstring& installDir, const std::wstring& name, PendingList& pending) {
  const std::wstring path = installDir + L"\\" + name;
  if (!IsStrictlyInside(path, installDir)) {
    LUMO_LOG(L"skip file list entry outside the installation: %s", name.c_str());
    return;
  }
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    RemoveTree(path, pending, nullptr);
  else
    DeletePath(path, pending);
}

}  // namespace

void RemoveRegistryFileList(const std::wstring& installDir, const wchar_t* keyPath, PendingList& pending) {
  if (installDir.empty() || !lumo::DirectoryExists(installDir) || IsProtectedFolder(installDir)) return;
  lumo::UniqueHkey key;
  // Reading is all this needs; the installer, a 32-bit program, wrote the 32-bit view.
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS)
    return;
  for (DWORD index = 0;; ++index) {
    wchar_t name[MAX_PATH] = {};
    DWORD nameChars = MAX_PATH;
    const LONG result = ::RegEnumValueW(key.get(), index, name, &nameChars, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) continue;  // a name this long is no path; the rest still counts
    if (result != ERROR_SUCCESS) break;
    RemoveListedPath(installDir, std::wstring(name, nameChars), pending);
  }
}
