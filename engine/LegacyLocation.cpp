#include "engine/LegacyLocation.h"

#include <windows.h>
#include <shlobj.h>

#include "base/TextUtil.h"

void RemoveLegacyLocation(const std::wstring& programFilesFolder) {
  if (programFilesFolder.empty()) return;
  const std::wstring zeta = lumo::JoinPath(programFilesFolder, L"Zeta");
  const std::wstring product = lumo::JoinPath(zeta, L"Zetalumo");
  const std::wstring uninstaller = lumo::JoinPath(product, L"Uninstall.exe");
  if (lumo::FileExists(uninstaller)) ::DeleteFileW(uninstaller.c_str());
  // RemoveDirectory only takes empty folders.
  if (lumo::DirectoryExists(product)) ::RemoveDirectoryW(product.c_str());
  if (lumo::DirectoryExists(zeta)) ::RemoveDirectoryW(zeta.c_str());
}

void RemoveLegacyLocation() {
  // The shipped program is 32-bit; ask for that view explicitly so the
  // 64-bit test build looks where the real program does.
  wchar_t folder[MAX_PATH] = {};
  if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, SHGFP_TYPE_CURRENT, folder)))
    RemoveLegacyLocation(folder);
}
