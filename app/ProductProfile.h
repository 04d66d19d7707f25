#pragma once
#include <string>

// Where the product is installed: the "path" value of its App Paths key
// (kAppPathsKey under HKLM), in the 32-bit registry view, the view the
// installer, a 32-bit program, writes to.
extern const wchar_t kAppPathsKey[];
extern const wchar_t kMainExeName[];  // "kestowp.exe"

// False when the value is missing, not text or longer than 259 characters.
bool ReadInstallDir(std::wstring& dir);
// Deletes the value and writes it again as REG_SZ (the key is created when missing).
bool RewriteInstallDir(const std::wstring& dir);
