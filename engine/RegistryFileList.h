#pragma once
#include <string>

#include "engine/FileRemoval.h"

// The product's registry file lists: value names under these App Paths
// subkeys (HKLM, 32-bit view) are paths relative to the installation.
extern const wchar_t kFileListKey[];  // ...\App Paths\kestowp.exe\file_list
extern const wchar_t kFilePeKey[];    // ...\App Paths\kestowp.exe\file_pe

// Deletes every listed path that exists (directories with their trees);
// survivors go to pending. Names that leave the installation directory (an
// absolute path, "..", or the empty default value) are skipped. The key and
// its values stay. Refuses a drive root or system folder.
void RemoveRegistryFileList(const std::wstring& installDir, const wchar_t* keyPath, PendingList& pending);
