#pragma once
#include <string>

// An older release kept its uninstaller in <program files>\Zeta\Zetalumo.
// Deletes that Uninstall.exe, then the two folders when they are empty.
// Without an argument: the 32-bit program-files folder.
void RemoveLegacyLocation();
void RemoveLegacyLocation(const std::wstring& programFilesFolder);
