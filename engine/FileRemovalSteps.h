#pragma once
#include <string>
#include <vector>

#include "engine/FileRemoval.h"

class IUninstallRootDirList;

// The run sequence's file steps for one installation directory. When the
// directory is a drive root or a system folder every step does nothing and
// one log line says why (logged at the first step that asks).
class CFileRemovalSteps {
 public:
  CFileRemovalSteps(std::wstring installDir, IUninstallRootDirList* rootList, PendingList& pending);
  // For tests: the folders that count as the system's own.
  CFileRemovalSteps(std::wstring installDir, IUninstallRootDirList* rootList, PendingList& pending,
                    std::vector<std::wstring> protectedFolders);

  bool RemovalAllowed();
  void RemoveFilesByRegistry();                                        // "file_list", then "file_pe"
  void DeleteRootFiles(int& totalFileCount, IFileProgress* progress);  // the root deletion
  void RemoveLegacyLocation();
  void SweepTempFiles();  // ".tmp" below the installation directory
  void FinishPendingDeletes();

 private:
  std::wstring installDir_;
  IUninstallRootDirList* rootList_;
  PendingList& pending_;
  std::vector<std::wstring> protectedFolders_;
  int verdict_ = -1;  // -1 not yet checked, 0 refused, 1 allowed
};
