#include "net/Utf8.h"

#include <windows.h>

#include <climits>

namespace lumo {

std::string Utf8FromWide(const std::wstring& text) {
  if (text.empty() || text.size() > INT_MAX) return std::string();
  const int wideLength = static_cast<int>(text.size());
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  if (::WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, &out[0], size, nullptr, nullptr) != size) {
    return std::string();
  }
  return out;
}

std::wstring WideFromUtf8(const std::string& text) {
  if (text.empty() || text.size() > INT_MAX) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(size), L'\0');
  if (::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, &out[0], size) != size) return std::wstring();
  return out;
}

}  // namespace lumo
