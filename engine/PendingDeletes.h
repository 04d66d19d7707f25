#pragma once
#include <string>

#include "engine/FileRemoval.h"

// Deletion at restart; replaceable so tests can see the batch fallback.
using RestartScheduler = bool (*)(const std::wstring& path);

// Turns the pending list into restart-time deletions: files, then
// directories, are renamed into their drive's hiding folder and the hidden
// names scheduled; the installation drive's ".temp" folder is scheduled
// last. What cannot be scheduled goes into the RunOnce batch. Empties the
// list and removes installDir when it is empty. Refuses a drive root or
// system folder (the list is left as it is). Returns 1, or 0 when refused.
int FinishPendingDeletes(PendingList& pending, const std::wstring& installDir,
                         RestartScheduler schedule = &ScheduleDeleteAtRestart);
