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

// Which of the maker's products lives in a directory, found by its main
// executable. 16 is this product; 3 and 17 are the maker's other two; 0 none.
enum ProductCode : int { kNoProduct = 0, kProductZeta = 3, kProductKesto = 16, kProductBrix = 17 };

// The running executable's directory with `levels` more components removed
// (0: its own directory, 1: the parent); 0 for a negative level count.
int DetectProductCode(int levels);
std::wstring GetProductTypeName(int levels);
// The detected product's "PID" registry value, as stored (not trimmed).
std::wstring GetProductPid(int levels);
// The installation's channel id, HKCU "Software\KestoWallPaper" value "pid",
// trimmed; empty when missing.
std::wstring ReadInstallPid();
