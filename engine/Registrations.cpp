#include "engine/Registrations.h"

#include <shlobj.h>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/FileRemoval.h"

const wchar_t kShortcutName[] = L"Kesto\u58c1\u7eb8.lnk";
const wchar_t kStartMenuFolderName[] = L"Kesto\u58c1\u7eb8";
const wchar_t kUserDataFolderName[] = L"kestowp";
const wchar_t kBrowserCacheFolder[] = L"kestowp\\cef_cache";
const wchar_t kUserProductKey[] = L"Software\\KestoWallPaper";
const wchar_t kProductClassKey[] = L"KestoWallpaper";
const wchar_t kUninstallRegistrationKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\kestowp";

std::wstring SpecialFolderPath(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return path;
}

namespace {

// Empty when the folder is unavailable, so that nothing relative to the
// current directory is ever touched.
std::wstring InSpecialFolder(int csidl, const wchar_t* name) {
  const std::wstring folder = SpecialFolderPath(csidl);
  return folder.empty() ? std::wstring() : lumo::JoinPath(folder, name);
}

void PurgeIfPresent(const std::wstring& directory) {
  if (!directory.empty() && PathExists(directory)) PurgeTree(directory);
}

}  // namespace

void RemoveDesktopShortcuts() {
  for (int csidl : {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY}) {
    const std::wstring shortcut = InSpecialFolder(csidl, kShortcutName);
    if (!shortcut.empty()) DeleteOrSchedule(shortcut);
  }
}

void RemoveStartMenuFolder() { PurgeIfPresent(InSpecialFolder(CSIDL_COMMON_PROGRAMS, kStartMenuFolderName)); }

void RemoveBrowserCache() { PurgeIfPresent(InSpecialFolder(CSIDL_APPDATA, kBrowserCacheFolder)); }

void RemoveUserDataFolder() { PurgeIfPresent(InSpecialFolder(CSIDL_APPDATA, kUserDataFolderName)); }

bool DeleteRegistryTree32(HKEY root, const std::wstring& subKey) {
  // An empty sub key would name the root itself.
  if (!root || subKey.empty()) return false;
  lumo::UniqueHkey key;
  const LONG opened = ::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, key.put());
  if (opened == ERROR_FILE_NOT_FOUND) return true;
  if (opened != ERROR_SUCCESS) return false;
  ::RegDeleteTreeW(key.get(), nullptr);  // subkeys and values; the key itself below
  key.reset();
  const LONG deleted = ::RegDeleteKeyExW(root, subKey.c_str(), KEY_WOW64_32KEY, 0);
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

bool IsDeletableApplicationKey(const std::wstring& subKey) {
  // A project naming a shared key would otherwise take every other
  // program's registrations with it.
  static const wchar_t* const kSharedKeys[] = {
      L"SOFTWARE\\Microsoft",
      L"SOFTWARE\\Classes",
      L"SOFTWARE\\Policies",
      L"SOFTWARE\\Wow6432Node",
      L"SOFTWARE\\Microsoft\\Windows",
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
  };
  std::wstring key = subKey;
  while (!key.empty() && key.back() == L'\\') key.pop_back();
  const size_t separator = key.find(L'\\');
  if (key.empty() || key.front() == L'\\' || separator == std::wstring::npos) return false;
  for (const wchar_t* shared : kSharedKeys) {
    if (::CompareStringOrdinal(key.c_str(), -1, shared, -1, TRUE) == CSTR_EQUAL) return false;
  }
  return true;
}

void RemoveProductRegistryKeys(HKEY applicationRoot, const std::wstring& applicationSubKey) {
  if (applicationSubKey.empty()) return;
  if (IsDeletableApplicationKey(applicationSubKey)) DeleteRegistryTree32(applicationRoot, applicationSubKey);
  DeleteRegistryTree32(HKEY_CURRENT_USER, kUserProductKey);
  DeleteRegistryTree32(HKEY_CLASSES_ROOT, kProductClassKey);
}

void RemoveUninstallRegistration() { DeleteRegistryTree32(HKEY_LOCAL_MACHINE, kUninstallRegistrationKey); }
