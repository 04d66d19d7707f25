#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "setupconfig/SetupConfig.h"

// The product's own uninstall hooks, called by the run sequence before it
// deletes anything (the helper module and the guard helper run after the
// processes are closed). Each hook that cannot run is logged and skipped.

// Starts a hook program (signature required) after killing any running copy
// of the same path. Nothing happens when the file is missing.
void CallHookProgram(const std::wstring& path, const std::wstring& parameters, int showCommand, bool wait,
                     DWORD waitMs);
// Calls exportName(argument) in a library (standard calling convention).
void CallDllHook(const std::wstring& path, const char* exportName, const std::wstring& argument,
                 bool checkSignature);
// Calls int exportName(argument, buffer, capacity); a positive result asks
// for a second call with capacity result + 1. Returns the buffer's text.
std::wstring CallDllInterfaceEx(const std::wstring& path, const char* exportName, const std::wstring& argument,
                                bool checkSignature);

// Step 2: the project's CallProgramOnUninst items.
void RunUninstallPrograms(const std::vector<ProgramRecord>& items, const std::wstring& installDir);
// Step 3: the project's rundll unregistrations through the signed rundll host.
void RunRundllUnregistrations(const std::vector<RundllRecord>& items, const std::wstring& installDir,
                              bool is64BitSystem);
// Step 5: the hooks listed under the App Paths "run_list" key.
void RunRunListHooks(const std::wstring& installDir);
// Step 6: the hooks listed under the App Paths "file_pe" key.
void RunFilePeHooks(const std::wstring& installDir);
// Step 8: "Uninst" of the helper module.
void CallHelperModule(const std::wstring& installDir);
// Step 17: the guard helper with "/UnInstallDesk".
void RunGuardHelper(const std::wstring& installDir);

// Registry location of step 5 (HKLM, 32-bit view); step 6 reads kFilePeKey
// of engine/RegistryFileList.h.
extern const wchar_t kRunListKey[];
