#pragma once
#include <string>
#include <vector>

#include "base/Locks.h"

// The program's diagnostic log. Every call appends to the file and closes it
// again, so an abrupt end loses nothing already logged; the launcher and the
// working instance share one file, each with its own start header.
class CSmartLogger {
 public:
  static constexpr size_t kMaxMessageChars = 511;
  static constexpr size_t kMaxPendingEntries = 100;
  static constexpr unsigned long long kMaxFileBytes = 1073741824ull;  // 1 GiB

  static CSmartLogger& Instance();

  CSmartLogger() = default;
  CSmartLogger(const CSmartLogger&) = delete;
  CSmartLogger& operator=(const CSmartLogger&) = delete;

  // Stores the path; an existing file larger than 1 GiB is deleted first.
  void SetPath(const std::wstring& path);
  // printf-style; messages over 511 characters are dropped.
  void Log(const wchar_t* format, ...);
  // Logs finished text: no formatting, but the same length limit.
  void LogText(const std::wstring& text);
  size_t Append(const std::wstring& text);
  int Flush();
  void Clear();

 private:
  void AppendAndFlush(const std::wstring& text);

  _BaseModule::CCriticalSection lock_;
  std::vector<std::wstring> pending_;
  std::wstring path_;
  int firstWrite_ = 1;
};

// Shorthand for CSmartLogger::Instance().Log(...).
#define LUMO_LOG(...) CSmartLogger::Instance().Log(__VA_ARGS__)
