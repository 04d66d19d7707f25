#include "engine/TempSweep.h"

#include <windows.h>

#include "app/SmartLogger.h"
#include "base/TextUtil.h"
#include "engine/FileRemoval.h"
#include "engine/HidingFolder.h"
#include "engine/InstallDirGuard.h"

namespace {

bool HasExtension(const std::wstring& name, const std::wstring& extension) {
  const size_t dot = name.find_last_of(L'.');
  return dot != std::wstring::npos && lumo::ToUpper(name.substr(dot)) == lumo::ToUpper(extension);
}

void DeleteOrHideAndSchedule(const std::wstring& path) {
  if (::DeleteFileW(path.c_str()) || !PathExists(path)) return;
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (::DeleteFileW(path.c_str()) || ::RemoveDirectoryW(path.c_str())) return;
  std::wstring hidden;
  const std::wstring scheduled = MoveToHiding(path, hidden) ? hidden : path;
  ScheduleDeleteAtRestart(scheduled);
  LUMO_LOG(L"delete file:%s by pending:%s", path.c_str(), scheduled.c_str());
}

void Sweep(const std::wstring& directory, const std::wstring& extension) {
  if (directory.size() >= kMaxWalkPath) return;
  for (const DirectoryEntry& entry : ListDirectory(directory, L"*.*")) {
    if (entry.isLink()) continue;  // a link may lead out of the installation
    const std::wstring path = lumo::JoinPath(directory, entry.name);
    if (entry.isDirectory())
      Sweep(path, extension);
    else if (HasExtension(entry.name, extension))
      DeleteOrHideAndSchedule(path);
  }
}

}  // namespace

void SweepTempFiles(const std::wstring& directory, const std::wstring& extension) {
  if (directory.empty() || extension.empty() || IsProtectedFolder(directory)) return;
  Sweep(directory, extension);
}
