#pragma once
#include <windows.h>

// The process-wide silent flag: while set, every message box returns -1 at
// once without showing anything.
void SetMessageBoxSilent(bool silent);
bool IsMessageBoxSilent();

// Shows text with the buttons of type (MB_OK, MB_YESNO, ...) and returns the
// button's result (IDOK, IDYES, ...), or -1 in silent mode.
int ShowMessageBox(HWND owner, const wchar_t* text, UINT type);
