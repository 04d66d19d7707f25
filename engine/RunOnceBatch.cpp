#include "engine/RunOnceBatch.h"

#include <cstdio>

#include "app/SmartLogger.h"

const wchar_t kRunOnceKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

namespace {

constexpr size_t kMaxLineBytes = 519;

std::wstring FromAnsi(const std::string& text) {
  const int n = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

// False when a character has no form in the code page: a "?" stand-in would
// be a wildcard to "del".
bool ToAnsiExactly(const std::wstring& text, std::string& ansi) {
  BOOL usedDefault = FALSE;
  const int n = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  ansi.assign(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), &ansi[0], n, nullptr,
                        nullptr);
  return true;
}

bool PathInAnsi(const std::wstring& path, std::string& ansi) {
  if (ToAnsiExactly(path, ansi)) return true;
  wchar_t shortPath[MAX_PATH] = {};
  const DWORD n = ::GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  return n > 0 && n < MAX_PATH && ToAnsiExactly(std::wstring(shortPath, n), ansi);
}

}  // namespace

std::wstring CRunOnceBatch::widePath() const { return FromAnsi(path_); }

bool CRunOnceBatch::Open() {
  if (file_) return true;
  if (path_.empty()) {
    char tempDir[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathA(MAX_PATH + 1, tempDir);
    if (n == 0 || n > MAX_PATH) return false;
    char unique[MAX_PATH] = {};
    if (!::GetTempFileNameA(tempDir, "brix", 0, unique)) return false;
    ::DeleteFileA(unique);  // only the name was wanted
    std::string name = unique;
    const size_t dot = name.find_last_of('.');
    name = (dot == std::string::npos ? name : name.substr(0, dot)) + ".bat";
    ::DeleteFileA(name.c_str());
    path_ = name;
  }
  file_.reset(::CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  return file_.valid();
}

bool CRunOnceBatch::WriteLine(const char* format, const std::wstring& path) {
  std::string ansiPath;
  if (!PathInAnsi(path, ansiPath)) return false;
  char line[kMaxLineBytes + 1] = {};
  const int n = std::snprintf(line, sizeof(line), format, ansiPath.c_str());
  if (n < 0 || static_cast<size_t>(n) > kMaxLineBytes) return false;
  if (!Open()) return false;
  ::SetFilePointer(file_.get(), 0, nullptr, FILE_END);
  DWORD written = 0;
  return ::WriteFile(file_.get(), line, static_cast<DWORD>(n), &written, nullptr) && written == DWORD(n);
}

void CRunOnceBatch::Seal() {
  if (!file_) return;
  WriteLine("del /q \"%s\" \r\n", widePath());
  LUMO_LOG(L"write to runonce bat: %s", widePath().c_str());
  lumo::UniqueHkey key;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr,
                        key.put(), nullptr) == ERROR_SUCCESS) {
    const size_t slash = path_.find_last_of('\\');
    const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    ::RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path_.c_str()),
                     static_cast<DWORD>(path_.size() + 1));
  }
  LUMO_LOG(L"write runonce bat to registry");
}
