#pragma once
#include <windows.h>

#include <map>
#include <string>

struct UninstallRootDirEntry {
  wchar_t name[260];
  int isDirectory;
  int optional;
};

// The top-level names of the installation directory that the uninstaller may
// delete, answered case-insensitively.
class IUninstallRootDirList {
 public:
  virtual bool LoadFromResource(HMODULE module, const wchar_t* name, const wchar_t* type) = 0;
  virtual bool LoadFromFile(const wchar_t* path) = 0;
  virtual int GetCount() = 0;
  virtual bool GetEntry(int index, UninstallRootDirEntry* entry) = 0;
  virtual bool Remove(const wchar_t* name) = 0;
  virtual bool Contains(const wchar_t* name) = 0;

 protected:
  ~IUninstallRootDirList() = default;
};

class CUninstallRootDirList : public IUninstallRootDirList {
 public:
  bool LoadFromResource(HMODULE module, const wchar_t* name, const wchar_t* type) override;
  bool LoadFromFile(const wchar_t* path) override;
  int GetCount() override { return static_cast<int>(entries_.size()); }
  bool GetEntry(int index, UninstallRootDirEntry* entry) override;
  bool Remove(const wchar_t* name) override;
  bool Contains(const wchar_t* name) override;
  virtual ~CUninstallRootDirList() = default;

 private:
  struct Entry {
    std::wstring name;  // as written
    int isDirectory;
    int optional;
  };
  std::map<std::wstring, Entry> entries_;  // keyed by the lower-case name
};
