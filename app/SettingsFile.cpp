#include "app/SettingsFile.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "base/TextUtil.h"

std::wstring InstallSettingsPath(const std::wstring& installDir) { return lumo::JoinPath(installDir, L"config.set"); }

std::wstring UserSettingsPath() {
  wchar_t appData[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) return std::wstring();
  const std::wstring dir = lumo::JoinPath(appData, L"kestowp");
  if (!lumo::DirectoryExists(dir)) ::CreateDirectoryW(dir.c_str(), nullptr);
  return lumo::JoinPath(dir, L"config.set");
}

std::wstring ReadSetting(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                         const wchar_t* fallback, size_t capacity) {
  if (capacity == 0) return std::wstring();
  std::vector<wchar_t> buffer(capacity, L'\0');
  const DWORD n = ::GetPrivateProfileStringW(section, key, fallback ? fallback : L"", buffer.data(),
                                             static_cast<DWORD>(capacity), file.c_str());
  return std::wstring(buffer.data(), n);
}

bool WriteSetting(const std::wstring& file, const wchar_t* section, const wchar_t* key, const wchar_t* value) {
  return ::WritePrivateProfileStringW(section, key, value, file.c_str()) != FALSE;
}
