#include "app/CommandParser.h"

#include <windows.h>
#include <shellapi.h>

#include "base/TextUtil.h"
#include "base/Handles.h"

namespace {

void StripOneQuotePair(std::wstring& value) {
  if (!value.empty() && value.front() == L'"') value.erase(0, 1);
  if (!value.empty() && value.back() == L'"') value.pop_back();
}

}  // namespace

bool CCommandParser::Parse(const wchar_t* commandLine) {
  switches_.clear();
  commandLine_ = commandLine ? commandLine : L"";

  int count = 0;
  lumo::UniqueLocalMemory argv(::CommandLineToArgvW(commandLine_.c_str(), &count));
  if (!argv) return false;
  auto** args = static_cast<wchar_t**>(argv.get());

  for (int i = 0; i < count; ++i) {
    const std::wstring arg = args[i];
    const size_t eq = arg.find(L'=');
    std::wstring key = eq == std::wstring::npos ? arg : arg.substr(0, eq);
    std::wstring value = eq == std::wstring::npos ? std::wstring() : arg.substr(eq + 1);
    key = lumo::Trim(key);
    value = lumo::Trim(value);
    StripOneQuotePair(value);
    switches_[lumo::ToUpper(key)] = value;
  }
  return true;
}

bool CCommandParser::HasSwitch(const wchar_t* name) const {
  return switches_.count(lumo::ToUpper(name ? name : L"")) != 0;
}

bool CCommandParser::GetSwitchValue(const wchar_t* name, std::wstring& value) const {
  auto it = switches_.find(lumo::ToUpper(name ? name : L""));
  if (it == switches_.end()) return false;
  value = it->second;
  return true;
}
