#include "net/OemSettings.h"

#include <vector>

#include "base/Handles.h"
#include "net/TextCipher.h"

const wchar_t OemSettings::kCipherKey[] = L"3E71C0D4-9A58-4B2F-8C16-D5A04E97B3C2";

namespace {

constexpr wchar_t kAppPathKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestowp.exe";
constexpr DWORD kMaxMarkChars = 260;
constexpr DWORD kMaxNameChars = 4096;
constexpr DWORD kMaxDataBytes = 8192;

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// The "oem_f" mark: a short string that reads "1".
bool ReadOemMark(const std::wstring& keyPath) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS)
    return false;
  wchar_t buffer[kMaxMarkChars + 1] = {};
  DWORD type = 0;
  DWORD bytes = kMaxMarkChars * sizeof(wchar_t);
  if (::RegQueryValueExW(key.get(), L"oem_f", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
          ERROR_SUCCESS ||
      !IsText(type))
    return false;
  // Properly terminated: the stored text ends in a NUL of its own.
  if (bytes < sizeof(wchar_t) || bytes % sizeof(wchar_t) || buffer[bytes / sizeof(wchar_t) - 1] != L'\0')
    return false;
  return _wcsicmp(buffer, L"1") == 0;
}

}  // namespace

int OemSettings::Init(const std::wstring& productKey) {
  productKey_ = productKey;
  settings_.clear();
  oemFlag_ = 0;
  if (productKey_ != L"kesto") {
    settingsKey_.clear();
    markKey_.clear();
    return 0;
  }
  markKey_ = kAppPathKey;
  settingsKey_ = markKey_ + L"\\oemconfig";
  oemFlag_ = ReadOemMark(markKey_) ? 1 : 0;
  if (oemFlag_) LoadSettings();
  return 1;
}

void OemSettings::LoadSettings() {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, settingsKey_.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS)
    return;
  std::vector<wchar_t> name(kMaxNameChars + 1);
  std::vector<BYTE> data(kMaxDataBytes + sizeof(wchar_t));
  for (DWORD index = 0;; ++index) {
    DWORD nameChars = kMaxNameChars + 1;
    const LONG enumerated =
        ::RegEnumValueW(key.get(), index, name.data(), &nameChars, nullptr, nullptr, nullptr, nullptr);
    // A name too long for the buffer skips that value only, not the ones after it.
    if (enumerated == ERROR_MORE_DATA) continue;
    if (enumerated != ERROR_SUCCESS) break;
    DWORD type = 0;
    DWORD bytes = kMaxDataBytes;
    if (::RegQueryValueExW(key.get(), name.data(), nullptr, &type, data.data(), &bytes) != ERROR_SUCCESS ||
        !IsText(type))
      continue;
    // Empty, or UTF-16 text that ends in its own NUL.
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data.data());
    if (bytes != 0 && (bytes % sizeof(wchar_t) != 0 || text[bytes / sizeof(wchar_t) - 1] != L'\0')) continue;
    const std::wstring storedName(name.data(), nameChars);
    const std::wstring storedValue =
        bytes ? std::wstring(text) : std::wstring();
    const std::wstring plainName = lumo::DecryptText(storedName, kCipherKey);
    const std::wstring plainValue = lumo::DecryptText(storedValue, kCipherKey);
    if (plainName.empty() || plainValue.empty()) continue;
    settings_[plainName] = plainValue;
  }
}

namespace lumo {

std::wstring UrlHost(const std::wstring& url, size_t* offset) {
  const size_t scheme = url.find(L"://");
  if (scheme == std::wstring::npos || scheme < 1 || scheme + 3 >= url.size()) return std::wstring();
  const size_t start = scheme + 3;
  const size_t slash = url.find(L'/', start);
  std::wstring host = url.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start);
  const size_t colon = host.find(L':');
  if (colon != std::wstring::npos && colon >= 1) host.resize(colon);
  if (offset) *offset = start;
  return host;
}

}  // namespace lumo

std::wstring OemSettings::RewriteUrl(const std::wstring& name, const std::wstring& url) const {
  if (!oemFlag_) return url;
  const auto setting = settings_.find(name);
  if (setting == settings_.end()) return url;
  size_t offset = 0;
  const std::wstring host = lumo::UrlHost(url, &offset);
  if (host.empty()) return url;
  // Only the host itself: the same letters in the path or query stay as they are.
  std::wstring rewritten = url;
  rewritten.replace(offset, host.size(), setting->second);
  return rewritten;
}
