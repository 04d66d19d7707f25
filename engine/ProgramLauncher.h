#pragma once
#include <windows.h>

// Starts a program through the shell, optionally only when it carries an
// accepted signature, and optionally waits for it. Never throws.
//   parameters: may be null.
//   checkSignature: refuse (start nothing) unless the file passes
//     IsTrustedSignerFile.
//   wait: wait at most waitMs for the program; a time-out is not an error and
//     leaves the program running.
//   exitCode: when given, receives the exit code (STILL_ACTIVE, 259, after a
//     time-out or without waiting).
// True when the program was started.
bool LaunchProgram(const wchar_t* path, const wchar_t* parameters, int showCommand, bool checkSignature, bool wait,
                   DWORD* exitCode = nullptr, DWORD waitMs = INFINITE);
