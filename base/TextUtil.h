#pragma once
#include <string>

namespace lumo {

// Blanks are space, tab, CR and LF.
std::wstring Trim(const std::wstring& text);
std::wstring ToUpper(const std::wstring& text);
// printf-style formatting into a std::wstring (wide rules: %s takes a wide string).
std::wstring Format(const wchar_t* format, ...);

// Path helpers for the plain "dir\name" joins the program does everywhere.
std::wstring JoinPath(const std::wstring& dir, const std::wstring& name);
std::wstring DirectoryOf(const std::wstring& path);  // without the trailing "\"
std::wstring ModulePath(void* module = nullptr);     // full path of a module, null: the program
std::wstring TempDirectory();                        // with its trailing "\"
bool FileExists(const std::wstring& path);           // a file, not a directory
bool DirectoryExists(const std::wstring& path);

}  // namespace lumo
