#include "engine/RootFiles.h"

#include <windows.h>

#include <cwctype>

#include "app/SmartLogger.h"
#include "base/TextUtil.h"
#include "engine/InstallDirGuard.h"
#include "engine/SignerCheck.h"
#include "setupconfig/UninstallRootDirList.h"

namespace {

constexpr int kTotalWhenCountingFails = 200;

std::wstring ToLower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

bool IsUsableWalkPath(const std::wstring& directory) {
  return !directory.empty() && directory.size() < kMaxWalkPath;
}

}  // namespace

bool IsAcceptedTopLevelEntry(const std::wstring& name, const std::wstring& fullPath,
                             IUninstallRootDirList* rootList) {
  if (rootList && rootList->Contains(ToLower(name).c_str())) return true;
  return IsTrustedSignerFile(fullPath.c_str());
}

int CountRootFiles(const std::wstring& directory, const std::wstring& installDir,
                   IUninstallRootDirList* rootList, int& counter) {
  if (!IsUsableWalkPath(directory)) return 0;
  for (const DirectoryEntry& entry : ListDirectory(directory)) {
    const std::wstring path = lumo::JoinPath(directory, entry.name);
    if (lumo::DirectoryOf(path) == installDir && !IsAcceptedTopLevelEntry(entry.name, path, rootList)) {
      LUMO_LOG(L"File NOT exists in xml: %s", entry.name.c_str());
      continue;
    }
    if (entry.isLink()) continue;  // unlinked without progress, never entered
    if (entry.isDirectory())
      CountRootFiles(path, installDir, rootList, counter);
    else
      ++counter;
  }
  return 1;
}

void DeleteRootFiles(const std::wstring& installDir, IUninstallRootDirList* rootList, PendingList& pending,
                     int& totalFileCount, IFileProgress* progress) {
  if (!IsUsableWalkPath(installDir) || IsProtectedFolder(installDir)) return;
  int counted = 0;
  totalFileCount = CountRootFiles(installDir, installDir, rootList, counted) ? counted : kTotalWhenCountingFails;
  for (const DirectoryEntry& entry : ListDirectory(installDir)) {
    const std::wstring path = lumo::JoinPath(installDir, entry.name);
    if (!IsAcceptedTopLevelEntry(entry.name, path, rootList)) {
      LUMO_LOG(L"File NOT exists in xml: %s", entry.name.c_str());
      continue;
    }
    if (entry.isDirectory()) {
      RemoveTree(path, pending, progress);
    } else if (DeletePath(path, pending) == 1) {
      LUMO_LOG(L"Delete File: %s", path.c_str());
      if (progress) progress->OnFileAttempted();
    }
  }
  const bool removed = ::RemoveDirectoryW(installDir.c_str()) != FALSE;
  LUMO_LOG(L"remove directory %s %s", installDir.c_str(), removed ? L"suceess" : L"failed.");
}
