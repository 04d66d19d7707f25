#pragma once
#include <string>

// The product's "config.set" files, read and written only through the
// system's private-profile functions.

// installDir + "config.set"
std::wstring InstallSettingsPath(const std::wstring& installDir);
// %APPDATA%\kestowp\config.set; the "kestowp" folder is created when missing.
std::wstring UserSettingsPath();

// The value, or fallback when the file, section or key is missing; at most
// capacity - 1 characters.
std::wstring ReadSetting(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                         const wchar_t* fallback, size_t capacity);
// Creates the file or section when missing.
bool WriteSetting(const std::wstring& file, const wchar_t* section, const wchar_t* key, const wchar_t* value);
