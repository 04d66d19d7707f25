#pragma once
#include <string>

#include "engine/FileRemoval.h"

class IUninstallRootDirList;

// The root deletion: only top-level entries of the installation directory
// that the setup project names, or that carry an accepted signature, are
// deleted; everything below an accepted directory goes without checks.

bool IsAcceptedTopLevelEntry(const std::wstring& name, const std::wstring& fullPath,
                             IUninstallRootDirList* rootList);
// Adds the files the root deletion will attempt below directory to counter.
// Top-level entries are those whose parent equals installDir as text.
// 1, or 0 for an empty path or one of 260 characters or more.
int CountRootFiles(const std::wstring& directory, const std::wstring& installDir,
                   IUninstallRootDirList* rootList, int& counter);
// Sets totalFileCount (200 when counting fails), deletes the accepted
// top-level entries, telling progress per file, and removes installDir when
// it is empty. Survivors go to pending. Refuses a drive root or system folder.
void DeleteRootFiles(const std::wstring& installDir, IUninstallRootDirList* rootList, PendingList& pending,
                     int& totalFileCount, IFileProgress* progress);
