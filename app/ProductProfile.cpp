#include "app/ProductProfile.h"

#include <windows.h>

#include <map>

#include "base/Handles.h"
#include "base/TextUtil.h"

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

namespace {

struct ProductRow {
  const wchar_t* mainExe;
  const wchar_t* secondExe;  // a second executable that also identifies the product
  const wchar_t* typeName;
  const wchar_t* registryKey;
};

const std::map<int, ProductRow>& ProductTable() {
  static const std::map<int, ProductRow> table = {
      {kProductZeta, {L"ZetaWallpaper.exe", L"ZetaWallpaperApp.exe", L"zeta", L"Software\\ZetaWallpaper"}},
      {kProductKesto, {L"kestowp.exe", nullptr, L"kesto", L"Software\\KestoWallPaper"}},
      {kProductBrix, {L"BrixDesk.exe", nullptr, L"brix", L"Software\\BrixDesk"}},
  };
  return table;
}

bool ReadStringValue(HKEY root, const wchar_t* subKey, const wchar_t* name, REGSAM view, std::wstring& value) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS) return false;
  wchar_t buffer[kPathCapacity + 1] = {};
  DWORD type = 0;
  DWORD bytes = kPathCapacity * sizeof(wchar_t);
  if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  buffer[bytes / sizeof(wchar_t)] = L'\0';
  value = buffer;
  return true;
}

}  // namespace

int DetectProductCode(int levels) {
  if (levels < 0) return kNoProduct;
  std::wstring dir = lumo::ModulePath();
  if (dir.size() > kPathCapacity) return kNoProduct;
  for (int i = 0; i <= levels; ++i) dir = lumo::DirectoryOf(dir);
  if (dir.empty()) return kNoProduct;
  for (const auto& [code, row] : ProductTable()) {
    if (lumo::FileExists(lumo::JoinPath(dir, row.mainExe))) return code;
    if (row.secondExe && lumo::FileExists(lumo::JoinPath(dir, row.secondExe))) return code;
  }
  return kNoProduct;
}

std::wstring GetProductTypeName(int levels) {
  const auto& table = ProductTable();
  auto it = table.find(DetectProductCode(levels));
  return it == table.end() ? std::wstring() : it->second.typeName;
}

std::wstring GetProductPid(int levels) {
  const int code = DetectProductCode(levels);
  const auto& table = ProductTable();
  auto it = table.find(code);
  if (it == table.end()) return std::wstring();
  std::wstring pid;
  if (code == kProductZeta || code == kProductKesto) {
    if (ReadStringValue(HKEY_CURRENT_USER, it->second.registryKey, L"PID", 0, pid)) return pid;
  } else if (ReadStringValue(HKEY_LOCAL_MACHINE, it->second.registryKey, L"PID", KEY_WOW64_64KEY, pid)) {
    return pid;
  }
  return std::wstring();
}

std::wstring ReadInstallPid() {
  std::wstring pid;
  if (!ReadStringValue(HKEY_CURRENT_USER, L"Software\\KestoWallPaper", L"pid", 0, pid)) return std::wstring();
  return lumo::Trim(pid);
}
