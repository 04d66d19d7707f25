#include "engine/RemovalSupport.h"

#include <shlobj.h>
#include <winioctl.h>

#include <algorithm>
#include <cwchar>

#include "app/SmartLogger.h"
#include "base/Handles.h"
#include "base/TextUtil.h"

namespace lumo::test {

namespace {

const wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";

// The reparse data layout for a mount point (junction); the SDK keeps it in ntifs.h.
struct MountPointReparseBuffer {
  DWORD ReparseTag;
  WORD ReparseDataLength;
  WORD Reserved;
  WORD SubstituteNameOffset;
  WORD SubstituteNameLength;
  WORD PrintNameOffset;
  WORD PrintNameLength;
  WCHAR PathBuffer[1024];
};

}  // namespace

HeldFile::HeldFile(const std::wstring& path) {
  const std::wstring holder = lumo::JoinPath(lumo::DirectoryOf(lumo::ModulePath()), L"fixtures\\file_holder.exe");
  const std::wstring marker = markerFolder_ / L"ready";
  std::wstring commandLine = L"\"" + holder + L"\" \"" + path + L"\" \"" + marker + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!::CreateProcessW(holder.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_))
    return;
  // Waits for the marker or the helper's end, whichever comes first.
  while (!lumo::FileExists(marker) && ::WaitForSingleObject(process_.hProcess, 20) == WAIT_TIMEOUT) {
  }
  holding_ = lumo::FileExists(marker);
}

HeldFile::~HeldFile() {
  if (!process_.hProcess) return;
  ::TerminateProcess(process_.hProcess, 0);
  ::WaitForSingleObject(process_.hProcess, INFINITE);
  ::CloseHandle(process_.hThread);
  ::CloseHandle(process_.hProcess);
}

LogCapture::LogCapture() { CSmartLogger::Instance().SetPath(folder_ / L"log.txt"); }
LogCapture::~LogCapture() { CSmartLogger::Instance().SetPath(L""); }

std::wstring LogCapture::Text() const {
  const std::string bytes = ReadFileBytes(folder_ / L"log.txt");
  const int n = ::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
  if (n > 0) ::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
  return text;
}

size_t LogCapture::Count(const std::wstring& line) const {
  const std::wstring text = Text();
  size_t count = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring entry = text.substr(start, end - start);
    if (!entry.empty() && entry.back() == L'\r') entry.pop_back();
    // "YYYY-MM-DD HH:MM:SS " comes first.
    if (entry.size() >= 20 && entry.compare(20, std::wstring::npos, line) == 0) ++count;
    start = end + 1;
  }
  return count;
}

PendingRenames::PendingRenames()
    : before_(Sources()), restore_(HKEY_LOCAL_MACHINE, kSessionManager, L"PendingFileRenameOperations", 0) {}

std::vector<std::wstring> PendingRenames::Sources() {
  std::vector<std::wstring> sources;
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
    return sources;
  DWORD bytes = 0;
  if (::RegQueryValueExW(key.get(), L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &bytes) !=
      ERROR_SUCCESS)
    return sources;
  std::wstring data(bytes / 2 + 2, L'\0');
  ::RegQueryValueExW(key.get(), L"PendingFileRenameOperations", nullptr, nullptr,
                     reinterpret_cast<BYTE*>(&data[0]), &bytes);
  data.resize(bytes / 2);
  // Pairs of source and target, each terminated; an empty target deletes.
  std::vector<std::wstring> strings;
  size_t start = 0;
  while (start < data.size()) {
    const size_t end = data.find(L'\0', start);
    strings.push_back(data.substr(start, (end == std::wstring::npos ? data.size() : end) - start));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  for (size_t i = 0; i + 1 < strings.size(); i += 2) {
    std::wstring source = strings[i];
    if (source.empty()) break;
    if (source.compare(0, 4, L"\\??\\") == 0) source = source.substr(4);
    sources.push_back(source);
  }
  return sources;
}

std::vector<std::wstring> PendingRenames::Added() const {
  const std::vector<std::wstring> now = Sources();
  return std::vector<std::wstring>(now.begin() + static_cast<long>(std::min(before_.size(), now.size())), now.end());
}

std::wstring SigningFixture(const std::wstring& name) {
  return lumo::JoinPath(lumo::DirectoryOf(lumo::ModulePath()), L"fixtures\\signing\\" + name);
}

bool MakeDirectories(const std::wstring& path) {
  const int result = ::SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
  return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS;
}

bool MakeFile(const std::wstring& path, const std::string& bytes) {
  MakeDirectories(lumo::DirectoryOf(path));
  return WriteFileBytes(path, bytes);
}

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) { return lumo::ToUpper(a) == lumo::ToUpper(b); }

bool MakeJunction(const std::wstring& link, const std::wstring& target) {
  if (!::CreateDirectoryW(link.c_str(), nullptr)) return false;
  lumo::UniqueFile handle(::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  bool made = false;
  if (handle) {
    const std::wstring substitute = L"\\??\\" + target;
    MountPointReparseBuffer buffer{};
    buffer.ReparseTag = IO_REPARSE_TAG_MOUNT_POINT;
    const WORD substituteBytes = static_cast<WORD>(substitute.size() * 2);
    const WORD printBytes = static_cast<WORD>(target.size() * 2);
    std::wmemcpy(buffer.PathBuffer, substitute.c_str(), substitute.size() + 1);
    std::wmemcpy(buffer.PathBuffer + substitute.size() + 1, target.c_str(), target.size() + 1);
    buffer.SubstituteNameOffset = 0;
    buffer.SubstituteNameLength = substituteBytes;
    buffer.PrintNameOffset = static_cast<WORD>(substituteBytes + 2);
    buffer.PrintNameLength = printBytes;
    buffer.ReparseDataLength = static_cast<WORD>(8 + substituteBytes + 2 + printBytes + 2);
    DWORD returned = 0;
    made = ::DeviceIoControl(handle.get(), FSCTL_SET_REPARSE_POINT, &buffer, buffer.ReparseDataLength + 8,
                             nullptr, 0, &returned, nullptr) != FALSE;
  }
  handle.reset();
  const DWORD attributes = ::GetFileAttributesW(link.c_str());
  made = made && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  if (!made) {
    ::RemoveDirectoryW(link.c_str());
    // Wine versions without mount points may still make directory symbolic links.
    made = ::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
           (::GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) &&
           ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  return made;
}

}  // namespace lumo::test
