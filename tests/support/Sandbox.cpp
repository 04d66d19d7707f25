#include "support/Sandbox.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>

#include "base/Handles.h"
#include "base/TextUtil.h"

namespace lumo::test {

std::wstring NewGuidText() {
  GUID guid{};
  ::CoCreateGuid(&guid);
  wchar_t text[40] = {};
  ::StringFromGUID2(guid, text, 40);
  return text;
}

TempFolder::TempFolder() : path_(lumo::TempDirectory() + L"lumo-test-" + NewGuidText()) {
  ::SHCreateDirectoryExW(nullptr, path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::wstring TempFolder::operator/(const std::wstring& name) const { return lumo::JoinPath(path_, name); }

void RemoveTree(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::DeleteFileW(path.c_str())) ::RemoveDirectoryW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW data;
  lumo::UniqueFindHandle find(::FindFirstFileW(lumo::JoinPath(path, L"*").c_str(), &data));
  if (find) {
    do {
      const std::wstring name = data.cFileName;
      if (name != L"." && name != L"..") RemoveTree(lumo::JoinPath(path, name));
    } while (::FindNextFileW(find.get(), &data));
  }
  find.reset();
  ::RemoveDirectoryW(path.c_str());
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  lumo::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool WriteUtf16File(const std::wstring& path, const std::wstring& text) {
  std::string bytes("\xFF\xFE", 2);
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  return WriteFileBytes(path, bytes);
}

std::string ReadFileBytes(const std::wstring& path) {
  lumo::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  if (!file) return bytes;
  char buffer[65536];
  DWORD got = 0;
  while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got) bytes.append(buffer, got);
  return bytes;
}

RegistryValueOverride::RegistryValueOverride(HKEY root, const std::wstring& subKey,
                                             const std::wstring& name, REGSAM view)
    : root_(root), subKey_(subKey), name_(name), view_(view) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_QUERY_VALUE | view_, key.put()) != ERROR_SUCCESS)
    return;
  keyExisted_ = true;
  DWORD bytes = 0;
  if (::RegQueryValueExW(key.get(), name_.c_str(), nullptr, &type_, nullptr, &bytes) != ERROR_SUCCESS)
    return;
  valueExisted_ = true;
  oldData_.resize((bytes + 1) / 2 + 1);
  ::RegQueryValueExW(key.get(), name_.c_str(), nullptr, &type_, reinterpret_cast<BYTE*>(&oldData_[0]), &bytes);
  oldData_.resize((bytes + 1) / 2);
}

RegistryValueOverride::~RegistryValueOverride() {
  if (!keyExisted_) {
    // The key is the test's own, with whatever was put below it.
    lumo::UniqueHkey key;
    if (::RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_ALL_ACCESS | view_, key.put()) == ERROR_SUCCESS)
      ::RegDeleteTreeW(key.get(), nullptr);
    key.reset();
    ::RegDeleteKeyExW(root_, subKey_.c_str(), view_, 0);
    return;
  }
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_SET_VALUE | view_, key.put()) != ERROR_SUCCESS) return;
  if (valueExisted_)
    ::RegSetValueExW(key.get(), name_.c_str(), 0, type_, reinterpret_cast<const BYTE*>(oldData_.data()),
                     static_cast<DWORD>(oldData_.size() * 2));
  else
    ::RegDeleteValueW(key.get(), name_.c_str());
}

void RegistryValueOverride::SetString(const std::wstring& value) {
  lumo::UniqueHkey key;
  ::RegCreateKeyExW(root_, subKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view_, nullptr, key.put(), nullptr);
  ::RegSetValueExW(key.get(), name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * 2));
}

void RegistryValueOverride::Delete() {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_SET_VALUE | view_, key.put()) == ERROR_SUCCESS)
    ::RegDeleteValueW(key.get(), name_.c_str());
}

}  // namespace lumo::test
