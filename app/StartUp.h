#pragma once
#include <windows.h>

#include "app/UiRun.h"

// The whole life of the process: start-up, the launcher or working stage,
// clean-up. Always returns 0.
int RunUninstaller(HINSTANCE instance, const wchar_t* commandLine, MainWindowFactory createMainWindow);

extern const wchar_t kLogFileName[];  // "lumo_uninst.log" in the temporary directory
