#include "app/SmartLogger.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <locale.h>

#include "base/Handles.h"
#include "base/TextUtil.h"

namespace {

CSmartLogger g_logger;  // built before the entry point, like every caller expects

std::wstring LocalTimeStamp() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return lumo::Format(L"%04d-%02d-%02d %02d:%02d:%02d ", now.wYear, now.wMonth, now.wDay,
                      now.wHour, now.wMinute, now.wSecond);
}

// The file holds the text in the code page of the C runtime locale ("chs",
// 936, once start-up has set it); the text-mode stream turns LF into CR LF.
std::string ToLocaleCodePage(const std::wstring& text) {
  UINT codePage = ___lc_codepage_func();
  if (codePage == 0) codePage = CP_ACP;
  const int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
  std::string bytes(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0)
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0], n,
                          nullptr, nullptr);
  return bytes;
}

void WriteText(FILE* file, const std::wstring& text) {
  const std::string bytes = ToLocaleCodePage(text);
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
}

bool FormatMessageText(std::wstring& out, const wchar_t* format, va_list args) {
  wchar_t buffer[CSmartLogger::kMaxMessageChars + 1];
  const int n = _vsnwprintf_s(buffer, CSmartLogger::kMaxMessageChars + 1, _TRUNCATE, format, args);
  if (n < 0) return false;  // failed, or would need more than 511 characters
  out.assign(buffer, static_cast<size_t>(n));
  return true;
}

}  // namespace

CSmartLogger& CSmartLogger::Instance() { return g_logger; }

void CSmartLogger::SetPath(const std::wstring& path) {
  path_ = path;
  LARGE_INTEGER size{};
  {
    lumo::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !::GetFileSizeEx(file.get(), &size)) size.QuadPart = 0;
  }
  if (static_cast<unsigned long long>(size.QuadPart) > kMaxFileBytes) ::DeleteFileW(path.c_str());
}

void CSmartLogger::Log(const wchar_t* format, ...) {
  if (!format) return;
  std::wstring text;
  va_list args;
  va_start(args, format);
  const bool ok = FormatMessageText(text, format, args);
  va_end(args);
  if (ok) AppendAndFlush(text);
}

void CSmartLogger::LogText(const std::wstring& text) {
  if (text.size() <= kMaxMessageChars) AppendAndFlush(text);
}

// One lock scope around the three steps: with separate scopes another
// thread's entry, appended between this flush and this clear, would be lost.
void CSmartLogger::AppendAndFlush(const std::wstring& text) {
  _BaseModule::CAutoLocker guard(&lock_);
  Append(text);
  if (Flush() == 1) Clear();
}

size_t CSmartLogger::Append(const std::wstring& text) {
  _BaseModule::CAutoLocker guard(&lock_);
  std::wstring entry = LocalTimeStamp() + text;
  if (entry.empty() || entry.back() != L'\n') entry += L'\n';
  pending_.push_back(std::move(entry));
  if (pending_.size() > kMaxPendingEntries) Flush();
  return pending_.size();
}

int CSmartLogger::Flush() {
  if (path_.empty()) return 0;
  _BaseModule::CAutoLocker guard(&lock_);
  int result = 0;
  const std::wstring dir = lumo::DirectoryOf(path_);
  if (!dir.empty() && !lumo::DirectoryExists(dir)) ::SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
  if (dir.empty() || lumo::DirectoryExists(dir)) {
    const std::wstring now = LocalTimeStamp();
    if (FILE* file = _wfopen(path_.c_str(), L"a")) {
      if (firstWrite_) {
        WriteText(file, L"\r\n================== Start Log:" + now + L" ==================\n");
        firstWrite_ = 0;
      }
      for (const std::wstring& entry : pending_) WriteText(file, entry);
      std::fflush(file);
      std::fclose(file);
      result = 1;
    }
  }
  pending_.clear();
  return result;
}

void CSmartLogger::Clear() {
  _BaseModule::CAutoLocker guard(&lock_);
  pending_.clear();
}
