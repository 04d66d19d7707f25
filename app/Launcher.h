#pragma once
#include <windows.h>

#include <string>

// The launcher instance copies the uninstaller out of the installation
// directory into a fresh staging directory and starts that copy, so that the
// real work runs from outside the directory it deletes.

// "{XXXXXXXX-XXXX-xxxx-XXXX-XXXXXXXXXXXX}.tmp" for the given GUID.
std::wstring StagingDirectoryName(const GUID& guid);
// Picks the first of at most 10 fresh names under the temporary directory
// that is not taken and creates it. False when all are taken or the
// directory cannot be made.
bool CreateStagingDirectory(std::wstring& stagingDir);
// Copies the program and the libraries it needs; false when a required one fails.
bool CopyStagingFiles(const std::wstring& installDir, const std::wstring& stagingDir);
// The optional "Utils\BrixBasic.dll", copied last.
void CopyStagingUtilities(const std::wstring& installDir, const std::wstring& stagingDir);
// The received command line, then "  /READYUNINSTALL", then "  /CHK=<token>" when a token is given.
std::wstring BuildRelaunchParameters(const std::wstring& commandLine, const std::wstring& chkToken);
// "kestowp" for "C:\dir\kestowp.exe"; empty when the path holds no "\".
std::wstring ParentNameForReport(const std::wstring& parentPath);

// Stages the copy and starts it; true when the copy was started. A silent
// run hands the copy the "/CHK" token.
bool RelaunchFromStaging(const std::wstring& commandLine, bool silent);
