#pragma once
// Puts an HKLM key of the 32-bit view back as a test found it: a key that
// did not exist is removed with everything below it, the values of one that
// did are restored.
#include <windows.h>

#include <string>
#include <vector>

#include "base/Handles.h"

namespace lumo::test {

inline void ClearRegistryValues(const std::wstring& path);

class RegistrySnapshot {
 public:
  explicit RegistrySnapshot(const std::wstring& path) : path_(path) {
    lumo::UniqueHkey key;
    existed_ = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) ==
               ERROR_SUCCESS;
    if (!existed_) return;
    for (DWORD index = 0;; ++index) {
      wchar_t name[16384];
      DWORD chars = 16384, type = 0, bytes = 0;
      if (::RegEnumValueW(key.get(), index, name, &chars, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) break;
      Value value{std::wstring(name, chars), type, std::string(bytes, '\0')};
      ::RegQueryValueExW(key.get(), value.name.c_str(), nullptr, &value.type,
                         bytes ? reinterpret_cast<BYTE*>(&value.data[0]) : nullptr, &bytes);
      values_.push_back(value);
    }
  }

  ~RegistrySnapshot() {
    if (!existed_) {
      lumo::UniqueHkey key;
      if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, key.put()) ==
          ERROR_SUCCESS)
        ::RegDeleteTreeW(key.get(), nullptr);
      key.reset();
      ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), KEY_WOW64_32KEY, 0);
      return;
    }
    lumo::UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, key.put()) !=
        ERROR_SUCCESS)
      return;
    // Drop every value, then write the old ones back.
    ClearRegistryValues(path_);
    for (const auto& value : values_)
      ::RegSetValueExW(key.get(), value.name.c_str(), 0, value.type,
                       reinterpret_cast<const BYTE*>(value.data.data()), static_cast<DWORD>(value.data.size()));
  }

  RegistrySnapshot(const RegistrySnapshot&) = delete;
  RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;

 private:
  struct Value {
    std::wstring name;
    DWORD type;
    std::string data;
  };
  std::wstring path_;
  bool existed_ = false;
  std::vector<Value> values_;
};

// HKLM values in the 32-bit view.
inline bool ReadRegistryText(const std::wstring& path, const wchar_t* name, std::wstring& text,
                             REGSAM view = KEY_WOW64_32KEY) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS)
    return false;
  wchar_t buffer[1024] = {};
  DWORD type = 0, bytes = sizeof(buffer) - sizeof(wchar_t);
  if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  text = buffer;
  return true;
}

inline void WriteRegistryValue(const std::wstring& path, const wchar_t* name, DWORD type, const void* data,
                               DWORD bytes) {
  lumo::UniqueHkey key;
  ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr,
                    key.put(), nullptr);
  ::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), bytes);
}

inline void WriteRegistryText(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
  WriteRegistryValue(path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

inline bool RegistryValueExists(const std::wstring& path, const wchar_t* name, REGSAM view = KEY_WOW64_32KEY) {
  lumo::UniqueHkey key;
  return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | view, key.put()) ==
             ERROR_SUCCESS &&
         ::RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

inline void DeleteRegistryValue(const std::wstring& path, const wchar_t* name) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_32KEY, key.put()) ==
      ERROR_SUCCESS)
    ::RegDeleteValueW(key.get(), name);
}

inline void ClearRegistryValues(const std::wstring& path) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS)
    return;
  for (;;) {
    wchar_t name[16384];
    DWORD chars = 16384;
    if (::RegEnumValueW(key.get(), 0, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (::RegDeleteValueW(key.get(), name) != ERROR_SUCCESS) break;
  }
}

}  // namespace lumo::test
