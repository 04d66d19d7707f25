#include "engine/FileRemovalSteps.h"

#include "app/SmartLogger.h"
#include "engine/InstallDirGuard.h"
#include "engine/LegacyLocation.h"
#include "engine/PendingDeletes.h"
#include "engine/RegistryFileList.h"
#include "engine/RootFiles.h"
#include "engine/TempSweep.h"

CFileRemovalSteps::CFileRemovalSteps(std::wstring installDir, IUninstallRootDirList* rootList,
                                     PendingList& pending)
    : CFileRemovalSteps(std::move(installDir), rootList, pending, SystemProtectedFolders()) {}

CFileRemovalSteps::CFileRemovalSteps(std::wstring installDir, IUninstallRootDirList* rootList,
                                     PendingList& pending, std::vector<std::wstring> protectedFolders)
    : installDir_(std::move(installDir)),
      rootList_(rootList),
      pending_(pending),
      protectedFolders_(std::move(protectedFolders)) {}

bool CFileRemovalSteps::RemovalAllowed() {
  if (verdict_ < 0) {
    const std::wstring reason = ProtectionReason(installDir_, protectedFolders_);
    verdict_ = reason.empty() ? 1 : 0;
    if (!verdict_)
      LUMO_LOG(L"skip deleting files: the installation directory \"%s\" is %s", installDir_.c_str(),
               reason.c_str());
  }
  return verdict_ == 1;
}

void CFileRemovalSteps::RemoveFilesByRegistry() {
  if (!RemovalAllowed()) return;
  RemoveRegistryFileList(installDir_, kFileListKey, pending_);
  RemoveRegistryFileList(installDir_, kFilePeKey, pending_);
}

void CFileRemovalSteps::DeleteRootFiles(int& totalFileCount, IFileProgress* progress) {
  if (RemovalAllowed()) ::DeleteRootFiles(installDir_, rootList_, pending_, totalFileCount, progress);
}

void CFileRemovalSteps::RemoveLegacyLocation() {
  if (RemovalAllowed()) ::RemoveLegacyLocation();
}

void CFileRemovalSteps::SweepTempFiles() {
  if (RemovalAllowed()) ::SweepTempFiles(installDir_, L".tmp");
}

void CFileRemovalSteps::FinishPendingDeletes() {
  if (RemovalAllowed()) ::FinishPendingDeletes(pending_, installDir_);
}
