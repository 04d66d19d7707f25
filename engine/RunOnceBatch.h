#pragma once
#include <windows.h>

#include <string>

#include "base/Handles.h"

// What cannot be scheduled for deletion at restart goes into a batch file
// that Windows runs once at the next logon. The file lives in the ANSI
// temporary directory and is created with its first line; lines are in the
// thread's ANSI code page.
extern const wchar_t kRunOnceKey[];  // HKLM ...\CurrentVersion\RunOnce (32-bit view)

class CRunOnceBatch {
 public:
  // Writes one line, format taking one %s for the path. A path the code
  // page cannot hold is written by its short name, or dropped; so is a line
  // that does not fit 519 bytes (a cut line could name another folder).
  bool WriteLine(const char* format, const std::wstring& path);
  bool exists() const { return file_.valid(); }
  const std::string& path() const { return path_; }
  std::wstring widePath() const;
  // Adds the self-deleting last line and the RunOnce value naming the file.
  void Seal();
  void Close() { file_.reset(); }

 private:
  bool Open();

  lumo::UniqueFile file_;
  std::string path_;
};
