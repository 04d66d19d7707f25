#pragma once
#include <windows.h>

#include <string>

namespace lumo::test {

// A fresh folder under the temporary directory, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const;

 private:
  std::wstring path_;
};

// Sets a registry value for the length of a test and puts the old state back.
class RegistryValueOverride {
 public:
  RegistryValueOverride(HKEY root, const std::wstring& subKey, const std::wstring& name, REGSAM view);
  ~RegistryValueOverride();
  RegistryValueOverride(const RegistryValueOverride&) = delete;
  RegistryValueOverride& operator=(const RegistryValueOverride&) = delete;
  void SetString(const std::wstring& value);
  void Delete();

 private:
  HKEY root_;
  std::wstring subKey_, name_;
  REGSAM view_;
  bool keyExisted_ = false, valueExisted_ = false;
  DWORD type_ = 0;
  std::wstring oldData_;  // raw bytes of the old value
};

void RemoveTree(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
// UTF-16 LE text with a byte-order mark, as the setup files are stored.
bool WriteUtf16File(const std::wstring& path, const std::wstring& text);
std::wstring NewGuidText();

}  // namespace lumo::test
