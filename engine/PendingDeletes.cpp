#include "engine/PendingDeletes.h"

#include <windows.h>

#include "app/SmartLogger.h"
#include "base/TextUtil.h"
#include "engine/HidingFolder.h"
#include "engine/InstallDirGuard.h"
#include "engine/RunOnceBatch.h"

namespace {

void ScheduleOrWriteToBatch(const std::wstring& path, const char* batchLine, RestartScheduler schedule,
                            CRunOnceBatch& batch) {
  if (schedule(path)) {
    LUMO_LOG(L"write %s to pending success", path.c_str());
    return;
  }
  batch.WriteLine(batchLine, path);
  LUMO_LOG(L"write to runonce bat: %s", path.c_str());
}

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int FinishPendingDeletes(PendingList& pending, const std::wstring& installDir, RestartScheduler schedule) {
  if (installDir.empty() || IsProtectedFolder(installDir)) return 0;
  CRunOnceBatch batch;
  PendingList directories;
  for (const std::wstring& path : pending) {
    if (IsDirectory(path)) {
      directories.push_back(path);
      continue;
    }
    std::wstring hidden;
    if (!MoveToHiding(path, hidden)) {
      LUMO_LOG(L"cut %s to temp failed, delete by pending", path.c_str());
      DeleteOrSchedule(path);
      continue;
    }
    LUMO_LOG(L"cut %s to %s success", path.c_str(), hidden.c_str());
    ScheduleOrWriteToBatch(hidden, "del /q \"%s\" \r\n", schedule, batch);
  }
  pending.clear();

  for (const std::wstring& directory : directories) {
    if (RemoveNowOrFail(directory)) continue;
    const bool link = IsLink(directory);
    std::wstring hidden;
    if (!MoveToHiding(directory, hidden)) {
      LUMO_LOG(L"cut %s to temp failed,delete by pending", directory.c_str());
      DeleteOrSchedule(directory);
      continue;
    }
    LUMO_LOG(L"cut %s to %s success", directory.c_str(), hidden.c_str());
    // "rd /s" on a link must not reach its target; a link goes without /s.
    ScheduleOrWriteToBatch(hidden, link ? "rd /q \"%s\" \r\n" : "rd /s /q \"%s\" \r\n", schedule, batch);
  }

  const std::wstring driveHidingFolder = lumo::Format(L"%c:\\.temp", installDir[0]);
  ScheduleOrWriteToBatch(driveHidingFolder, "rd /q \"%s\" \r\n", schedule, batch);

  if (batch.exists()) batch.Seal();
  ::RemoveDirectoryW(installDir.c_str());
  batch.Close();
  return 1;
}
