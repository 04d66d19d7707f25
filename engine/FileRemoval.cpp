#include "engine/FileRemoval.h"

#include <windows.h>

#include "app/SmartLogger.h"
#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/InstallDirGuard.h"

namespace {

bool IsUsableWalkPath(const std::wstring& directory) {
  return !directory.empty() && directory.size() < kMaxWalkPath;
}

bool DeleteFileOrClearAndRetry(const std::wstring& path) {
  if (::DeleteFileW(path.c_str())) return true;
  return ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) && ::DeleteFileW(path.c_str());
}

bool RemoveDirectoryOrClearAndRetry(const std::wstring& path) {
  if (::RemoveDirectoryW(path.c_str())) return true;
  return ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) && ::RemoveDirectoryW(path.c_str());
}

// Removes a link itself; a directory link goes with RemoveDirectory, which
// never touches the target.
bool RemoveLinkOnly(const std::wstring& path, unsigned long attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveDirectoryOrClearAndRetry(path);
  return DeleteFileOrClearAndRetry(path);
}

// Stands in for the shell's FO_DELETE, which follows junctions: deletes the
// tree bottom-up, best effort, unlinking links instead of entering them.
void DeleteTreeWithoutFollowingLinks(const std::wstring& directory) {
  const DWORD attributes = ::GetFileAttributesW(directory.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    RemoveLinkOnly(directory, attributes);
    return;
  }
  for (const DirectoryEntry& entry : ListDirectory(directory)) {
    const std::wstring path = lumo::JoinPath(directory, entry.name);
    if (entry.isLink())
      RemoveLinkOnly(path, entry.attributes);
    else if (entry.isDirectory())
      DeleteTreeWithoutFollowingLinks(path);
    else
      DeleteFileOrClearAndRetry(path);
  }
  RemoveDirectoryOrClearAndRetry(directory);
}

bool DeleteFileLogged(const std::wstring& path) {
  if (!::DeleteFileW(path.c_str())) return false;
  LUMO_LOG(L"DeleteFile:%s suceesss", path.c_str());
  return true;
}

}  // namespace

bool DirectoryEntry::isDirectory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool DirectoryEntry::isLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

std::vector<DirectoryEntry> ListDirectory(const std::wstring& directory, const wchar_t* pattern) {
  // Collected before anything is deleted, so deletions do not disturb the walk.
  std::vector<DirectoryEntry> entries;
  WIN32_FIND_DATAW data;
  lumo::UniqueFindHandle find(::FindFirstFileW(lumo::JoinPath(directory, pattern).c_str(), &data));
  if (!find) return entries;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") entries.push_back({name, data.dwFileAttributes});
  } while (::FindNextFileW(find.get(), &data));
  return entries;
}

bool PathExists(const std::wstring& path) {
  return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsLink(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

int DeletePath(const std::wstring& path, PendingList& pending) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteTreeWithoutFollowingLinks(path);
  } else if (!DeleteFileLogged(path)) {
    if (::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL)) DeleteFileLogged(path);
  }
  if (!PathExists(path)) return 1;
  pending.push_back(path);
  return 0;
}

bool RemoveTree(const std::wstring& directory, PendingList& pending, IFileProgress* progress) {
  if (!IsUsableWalkPath(directory)) return false;
  if (!IsLink(directory)) {
    for (const DirectoryEntry& entry : ListDirectory(directory)) {
      const std::wstring path = lumo::JoinPath(directory, entry.name);
      if (entry.isDirectory()) {
        RemoveTree(path, pending, progress);  // a directory link is only unlinked there
      } else {
        DeletePath(path, pending);
        if (progress) progress->OnFileAttempted();
      }
    }
  }
  DeletePath(directory, pending);
  return true;
}

int DeleteOrSchedule(const std::wstring& path) {
  if (::DeleteFileW(path.c_str())) return 1;
  if (!PathExists(path)) return 1;
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (::DeleteFileW(path.c_str())) return 1;
  LUMO_LOG(L"delete %s failed, error=%d", path.c_str(), static_cast<int>(::GetLastError()));
  ScheduleDeleteAtRestart(path);
  return 0;
}

int PurgeTree(const std::wstring& directory) {
  if (!IsUsableWalkPath(directory) || IsProtectedFolder(directory)) return 0;
  const DWORD attributes = ::GetFileAttributesW(directory.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    if (!RemoveLinkOnly(directory, attributes)) ScheduleDeleteAtRestart(directory);
    return 1;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    ::SetFileAttributesW(directory.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  for (const DirectoryEntry& entry : ListDirectory(directory)) {
    const std::wstring path = lumo::JoinPath(directory, entry.name);
    if (entry.isLink()) {
      if (!RemoveLinkOnly(path, entry.attributes)) ScheduleDeleteAtRestart(path);
    } else if (entry.isDirectory()) {
      PurgeTree(path);
    } else {
      DeleteOrSchedule(path);
    }
  }
  DeleteTreeWithoutFollowingLinks(directory);
  return 1;
}

int RemoveNowOrFail(const std::wstring& path) {
  if (::DeleteFileW(path.c_str())) return 1;
  if (!PathExists(path)) return 1;
  if (::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) && ::DeleteFileW(path.c_str())) return 1;
  return ::RemoveDirectoryW(path.c_str()) ? 1 : 0;
}

bool ScheduleDeleteAtRestart(const std::wstring& path) {
  return ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}
