#include "app/ProductProfile.h"

#include <windows.h>

#include "base/Handles.h"

const wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestowp.exe";
const wchar_t kMainExeName[] = L"kestowp.exe";

namespace {
constexpr DWORD kPathCapacity = 260;
}

bool ReadInstallDir(std::wstring& dir) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppPathsKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                      key.put()) != ERROR_SUCCESS)
    return false;
  wchar_t buffer[kPathCapacity + 1] = {};
  DWORD type = 0;
  DWORD bytes = kPathCapacity * sizeof(wchar_t);
  if (::RegQueryValueExW(key.get(), L"path", nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  buffer[bytes / sizeof(wchar_t)] = L'\0';  // the stored text need not end in NUL
  dir = buffer;
  return true;
}

bool RewriteInstallDir(const std::wstring& dir) {
  lumo::UniqueHkey key;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPathsKey, 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
    return false;
  ::RegDeleteValueW(key.get(), L"path");
  const DWORD bytes = static_cast<DWORD>((dir.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key.get(), L"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                          bytes) == ERROR_SUCCESS;
}
