#pragma once
#include <windows.h>

#include <string>

#include "setupconfig/SetupConfig.h"  // MessageNumberFromName

class ISetupConfig;

// Step 7 of the run sequence: asks the product's programs to quit (the
// broadcast quit message and the project's close-program messages), then
// kills every process inside the installation directory and finally the two
// main programs by their exact paths.
void KillProcessesInInstallPath(ISetupConfig& config, const std::wstring& installDir);

// Kills every process whose image lies inside dir, sparing the own process,
// its parent and the ignore list. Returns 0; killedCount receives the number
// of processes killed.
int KillMultiProcesses(const wchar_t* dir, int* killedCount = nullptr);

// Kills every process whose image path equals path (letter case ignored).
// Returns 0.
int KillProcessByPath(const wchar_t* path);

// Enables SeDebugPrivilege for the own process.
bool GetDebugPrivilege();

// The image path of a process, long form, at most capacity units (capacity
// at least 100). Returns the path length, 0 on failure.
DWORD GetProcessImagePath(DWORD pid, wchar_t* buffer, DWORD capacity);

// Whether path names something inside folder: the folder's path followed by
// a path separator. Letter case is ignored.
bool IsPathInsideFolder(const std::wstring& path, const std::wstring& folder);
