#include "base/TextUtil.h"

#include <windows.h>

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace lumo {

std::wstring Trim(const std::wstring& text) {
  const wchar_t* blanks = L" \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::wstring::npos) return std::wstring();
  const size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::wstring ToUpper(const std::wstring& text) {
  std::wstring upper = text;
  if (!upper.empty()) ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
  return upper;
}

std::wstring Format(const wchar_t* format, ...) {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    va_list args;
    va_start(args, format);
    const int n = _vsnwprintf_s(buffer.data(), buffer.size(), _TRUNCATE, format, args);
    va_end(args);
    if (n >= 0) return std::wstring(buffer.data(), static_cast<size_t>(n));
    if (buffer.size() >= (1u << 20)) return std::wstring();
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring JoinPath(const std::wstring& dir, const std::wstring& name) {
  if (dir.empty()) return name;
  if (dir.back() == L'\\' || dir.back() == L'/') return dir + name;
  return dir + L"\\" + name;
}

std::wstring DirectoryOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring ModulePath(void* module) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(static_cast<HMODULE>(module), buffer.data(),
                                         static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::wstring();
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    if (buffer.size() >= 32768) return std::wstring();
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring TempDirectory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
  return (n == 0 || n > MAX_PATH) ? std::wstring() : std::wstring(buffer, n);
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace lumo
