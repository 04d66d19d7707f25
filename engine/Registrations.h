#pragma once
#include <windows.h>

#include <string>

// Removal of what the product registered in the shell folders and the
// registry (run-sequence steps 9 to 12, 14 and 16). Every removal is best
// effort: something missing counts as removed and failures are silent.

extern const wchar_t kShortcutName[];          // "Kesto壁纸.lnk"
extern const wchar_t kStartMenuFolderName[];   // "Kesto壁纸"
extern const wchar_t kUserDataFolderName[];    // "kestowp" under the application data
extern const wchar_t kBrowserCacheFolder[];    // "kestowp\cef_cache" under the application data
extern const wchar_t kUserProductKey[];        // HKCU "Software\KestoWallPaper"
extern const wchar_t kProductClassKey[];       // HKCR "KestoWallpaper"
extern const wchar_t kUninstallRegistrationKey[];  // HKLM "...\Uninstall\kestowp"

// A special folder (CSIDL_*), created when missing; empty when unavailable.
std::wstring SpecialFolderPath(int csidl);

// Step 9: the shortcut on the common desktop, then on the user's desktop.
// One that is in use is scheduled for deletion at restart.
void RemoveDesktopShortcuts();
// Step 10: the start-menu program folder of all users.
void RemoveStartMenuFolder();
// Step 11: the browser cache under the current user's application data.
void RemoveBrowserCache();
// Step 12: the current user's data folder, with the cache inside it.
void RemoveUserDataFolder();
// Step 14: the project's application key, then the per-user product key and
// the class key; nothing at all when the application sub key is empty.
void RemoveProductRegistryKeys(HKEY applicationRoot, const std::wstring& applicationSubKey);
// False for a sub key that could hold other programs' data: a single
// component, or one of the shared Windows keys.
bool IsDeletableApplicationKey(const std::wstring& subKey);
// Step 16: the uninstall registration.
void RemoveUninstallRegistration();

// Deletes a key with all its subkeys and values in the 32-bit registry view.
// True when the key is gone afterwards.
bool DeleteRegistryTree32(HKEY root, const std::wstring& subKey);
