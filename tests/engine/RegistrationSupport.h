#pragma once
#include <windows.h>

#include <string>

#include "engine/RemovalSupport.h"

namespace lumo::test {

// A product item in a real shell folder that the test makes and removes
// afterwards. Tests skip when it was there before: it is then not theirs.
class ScopedShellItem {
 public:
  explicit ScopedShellItem(std::wstring path);
  ~ScopedShellItem();
  ScopedShellItem(const ScopedShellItem&) = delete;
  ScopedShellItem& operator=(const ScopedShellItem&) = delete;
  const std::wstring& path() const { return path_; }
  bool existedBefore() const { return existedBefore_; }

 private:
  std::wstring path_;
  bool existedBefore_;
};

// Gone now, or scheduled for deletion at restart because something (Wine's
// desktop shell reading new shortcuts, say) had it open.
bool GoneOrScheduled(const std::wstring& path, const PendingRenames& pending);

// The same for a registry key in the 32-bit view.
class ScopedRegistryKey {
 public:
  ScopedRegistryKey(HKEY root, std::wstring subKey);
  ~ScopedRegistryKey();
  ScopedRegistryKey(const ScopedRegistryKey&) = delete;
  ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;
  // The key with a value and a "file_list" subkey with a value.
  bool Create();
  bool exists() const;
  bool existedBefore() const { return existedBefore_; }

 private:
  HKEY root_;
  std::wstring subKey_;
  bool existedBefore_;
};

// A demand-start service running a signed test program; deleted afterwards
// if the test has not.
class ScopedTestService {
 public:
  explicit ScopedTestService(const wchar_t* name);
  ~ScopedTestService();
  ScopedTestService(const ScopedTestService&) = delete;
  ScopedTestService& operator=(const ScopedTestService&) = delete;
  bool existedBefore() const { return existedBefore_; }
  bool Create();

 private:
  std::wstring name_;
  bool existedBefore_;
};
bool ServiceExists(const wchar_t* name);

std::wstring InSpecialFolder(int csidl, const wchar_t* name);
// A shell link to the test program itself, saved at path.
bool MakeShortcut(const std::wstring& path);
// False when the value is missing.
bool ReadRunValue(HKEY root, REGSAM view, const wchar_t* name, std::wstring& text);
bool RunValueExists(HKEY root, REGSAM view, const wchar_t* name);
// A task with a program action and no trigger, which Wine's Task Scheduler
// can register.
bool CreatePlainTask(const wchar_t* name);
bool TaskExists(const wchar_t* name);
void DeleteTask(const wchar_t* name);

}  // namespace lumo::test
