#pragma once
#include <windows.h>

#include <string>

// Full path of the parent process's executable (at most 259 characters, short
// names expanded), or empty text when it cannot be found.
std::wstring GetParentImagePath();
// The parent process's id, or -1 when it cannot be found.
DWORD GetParentProcessId();
