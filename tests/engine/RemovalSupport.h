#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/Sandbox.h"

namespace lumo::test {

// A helper process holding a file open without sharing; ended with the object.
class HeldFile {
 public:
  explicit HeldFile(const std::wstring& path);
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool holding() const { return holding_; }

 private:
  TempFolder markerFolder_;
  PROCESS_INFORMATION process_{};
  bool holding_ = false;
};

// Sends the program's log to a fresh file for the length of a test.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  std::wstring Text() const;
  size_t Count(const std::wstring& line) const;  // whole lines after the time stamp

 private:
  TempFolder folder_;
};

// Session Manager's PendingFileRenameOperations, put back after the test.
class PendingRenames {
 public:
  PendingRenames();
  // The sources of the entries added since construction, "\??\" removed.
  std::vector<std::wstring> Added() const;

 private:
  static std::vector<std::wstring> Sources();
  std::vector<std::wstring> before_;
  RegistryValueOverride restore_;
};

// A drive letter mapped onto a test folder stands in for a second drive.
class MappedDrive {
 public:
  explicit MappedDrive(const std::wstring& target) {
    for (wchar_t letter = L'P'; letter <= L'Y' && drive_.empty(); ++letter) {
      const std::wstring drive = std::wstring(1, letter) + L":";
      wchar_t existing[MAX_PATH];
      if (::QueryDosDeviceW(drive.c_str(), existing, MAX_PATH)) continue;
      if (::DefineDosDeviceW(0, drive.c_str(), target.c_str())) drive_ = drive;
    }
    if (!drive_.empty() && ::GetFileAttributesW((drive_ + L"\\").c_str()) == INVALID_FILE_ATTRIBUTES) {
      Remove();
    }
  }
  ~MappedDrive() { Remove(); }
  const std::wstring& drive() const { return drive_; }

 private:
  void Remove() {
    if (!drive_.empty()) ::DefineDosDeviceW(DDD_REMOVE_DEFINITION, drive_.c_str(), nullptr);
    drive_.clear();
  }
  std::wstring drive_;
};

std::wstring SigningFixture(const std::wstring& name);
bool MakeFile(const std::wstring& path, const std::string& bytes = "x");
bool MakeDirectories(const std::wstring& path);
// A directory junction at link pointing to target; false when the system
// cannot make one.
bool MakeJunction(const std::wstring& link, const std::wstring& target);
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);

}  // namespace lumo::test
