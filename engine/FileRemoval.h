#pragma once
#include <string>
#include <vector>

// Deletion primitives of the uninstall engine. None of them waits for a file
// in use: what cannot go now is left to the caller's pending list or
// scheduled for deletion at the next restart. A path that does not exist
// counts as removed.

// Paths that still exist after a deletion attempt, in the order they failed.
using PendingList = std::vector<std::wstring>;

// Told once per file a tree removal attempted (the root deletion's progress).
class IFileProgress {
 public:
  virtual void OnFileAttempted() = 0;

 protected:
  ~IFileProgress() = default;
};

// Directory walks stop at 260 characters, like the system's plain path calls.
constexpr size_t kMaxWalkPath = 260;

bool PathExists(const std::wstring& path);
// A junction, symbolic link or other reparse point: removed, never entered.
bool IsLink(const std::wstring& path);

// 1 when the path is gone afterwards; else 0 with the path appended to pending.
// A directory is removed with its whole tree; links inside are unlinked only.
int DeletePath(const std::wstring& path, PendingList& pending);
// Deletes a tree file by file, telling progress after each file; survivors
// go to pending (files before their directory). False for an unusable path.
bool RemoveTree(const std::wstring& directory, PendingList& pending, IFileProgress* progress = nullptr);
// Deletes what it can now and schedules the remaining files for restart.
// 1, or 0 for an unusable path or a drive root or system folder.
int PurgeTree(const std::wstring& directory);
// 1 when the file is gone; 0 when it was scheduled for deletion at restart.
int DeleteOrSchedule(const std::wstring& path);
// 1 when the file or empty directory is gone now, else 0.
int RemoveNowOrFail(const std::wstring& path);
// Deletion at the next restart (MoveFileEx delay-until-reboot).
bool ScheduleDeleteAtRestart(const std::wstring& path);

struct DirectoryEntry {
  std::wstring name;
  unsigned long attributes;
  bool isDirectory() const;
  bool isLink() const;
};
// The entries of directory + "\" + pattern in file-system order, without "." and "..".
std::vector<DirectoryEntry> ListDirectory(const std::wstring& directory, const wchar_t* pattern = L"*");
