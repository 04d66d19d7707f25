#pragma once
#include <map>
#include <string>

#include "base/Singleton.h"

// The switch table of the process command line. Keys are kept upper-case with
// their leading "/", values trimmed and unquoted; the last occurrence wins.
class CCommandParser {
 public:
  static CCommandParser* Instance() { return CSingletonT<CCommandParser>::Instance(); }

  // Rebuilds the table; false only when the system cannot split the text.
  bool Parse(const wchar_t* commandLine);
  bool HasSwitch(const wchar_t* name) const;
  // Leaves value unchanged when the switch is absent.
  bool GetSwitchValue(const wchar_t* name, std::wstring& value) const;
  bool IsSilent() const { return HasSwitch(L"/S"); }

  const std::wstring& CommandLine() const { return commandLine_; }
  const std::map<std::wstring, std::wstring>& Switches() const { return switches_; }

 private:
  std::wstring commandLine_;
  std::map<std::wstring, std::wstring> switches_;
};
