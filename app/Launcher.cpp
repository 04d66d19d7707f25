#include "app/Launcher.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/ParentProcess.h"
#include "app/ProductProfile.h"
#include "app/SmartLogger.h"
#include "app/StartupChecks.h"
#include "engine/ProgramLauncher.h"
#include "base/TempName.h"
#include "base/TextUtil.h"

namespace {

struct StagingCopy {
  const wchar_t* source;
  const wchar_t* fallbackSource;  // used when source does not exist
  const wchar_t* target;
  bool required;
};

const StagingCopy kStagingCopies[] = {
    {L"Uninstall.exe", L"Zivizivo.exe", L"Uninstall.exe", true},
    {L"Vodureda.dll", nullptr, L"Vodureda.dll", true},
    {L"wallpaperhelper\\ZetaNetUL.dll", nullptr, L"ZetaNetUL.dll", false},
    {L"Utils\\7z.dll", nullptr, L"7z.dll", true},
};

const wchar_t kMarkerLibrary[] = L"Vodureda.dll";

bool CopyOne(const StagingCopy& copy, const std::wstring& installDir, const std::wstring& stagingDir) {
  std::wstring source = lumo::JoinPath(installDir, copy.source);
  if (copy.fallbackSource && !lumo::FileExists(source))
    source = lumo::JoinPath(installDir, copy.fallbackSource);
  return ::CopyFileW(source.c_str(), lumo::JoinPath(stagingDir, copy.target).c_str(), FALSE) != FALSE;
}

// Without a readable value the launcher may still run from a complete
// installation directory; it then repairs the value.
bool FindInstallDir(std::wstring& installDir) {
  if (ReadInstallDir(installDir)) return true;
  const std::wstring ownDir = lumo::DirectoryOf(lumo::ModulePath());
  if (!lumo::FileExists(lumo::JoinPath(ownDir, kMarkerLibrary))) return false;
  installDir = ownDir;
  RewriteInstallDir(installDir);
  return true;
}

// Starts only a copy that carries an accepted signature; does not wait.
bool StartStagedCopy(const std::wstring& exePath, const std::wstring& parameters) {
  return LaunchProgram(exePath.c_str(), parameters.c_str(), SW_SHOWNORMAL, true, false);
}

}  // namespace

std::wstring StagingDirectoryName(const GUID& guid) { return lumo::GuidTempName(guid); }

bool CreateStagingDirectory(std::wstring& stagingDir) {
  std::wstring candidate;
  if (!lumo::MakeTempName(candidate)) return false;
  ::DeleteFileW(candidate.c_str());
  ::SHCreateDirectoryExW(nullptr, candidate.c_str(), nullptr);
  if (!lumo::DirectoryExists(candidate)) return false;
  stagingDir = candidate;
  return true;
}

bool CopyStagingFiles(const std::wstring& installDir, const std::wstring& stagingDir) {
  for (const StagingCopy& copy : kStagingCopies) {
    if (!CopyOne(copy, installDir, stagingDir) && copy.required) return false;
  }
  return true;
}

void CopyStagingUtilities(const std::wstring& installDir, const std::wstring& stagingDir) {
  const std::wstring utils = lumo::JoinPath(stagingDir, L"Utils");
  if (!lumo::DirectoryExists(utils)) ::CreateDirectoryW(utils.c_str(), nullptr);
  ::CopyFileW(lumo::JoinPath(installDir, L"Utils\\BrixBasic.dll").c_str(),
              lumo::JoinPath(utils, L"BrixBasic.dll").c_str(), FALSE);
}

std::wstring BuildRelaunchParameters(const std::wstring& commandLine, const std::wstring& chkToken) {
  std::wstring parameters = commandLine + L"  /READYUNINSTALL";
  if (!chkToken.empty()) parameters += L"  /CHK=" + chkToken;
  return parameters;
}

std::wstring ParentNameForReport(const std::wstring& parentPath) {
  const size_t slash = parentPath.rfind(L'\\');
  if (slash == std::wstring::npos) return std::wstring();
  std::wstring name = parentPath.substr(slash + 1);
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return name;
}

bool RelaunchFromStaging(const std::wstring& commandLine, bool silent) {
  std::wstring installDir;
  if (!FindInstallDir(installDir)) return false;
  if (!lumo::FileExists(lumo::JoinPath(installDir, kMarkerLibrary))) return false;

  std::wstring stagingDir;
  if (!CreateStagingDirectory(stagingDir)) return false;
  if (!CopyStagingFiles(installDir, stagingDir)) return false;

  const std::wstring parentPath = GetParentImagePath();
  LUMO_LOG(L"parent process path= %s", parentPath.c_str());

  CopyStagingUtilities(installDir, stagingDir);
  return StartStagedCopy(lumo::JoinPath(stagingDir, L"Uninstall.exe"),
                         BuildRelaunchParameters(commandLine, silent ? MakeCallToken() : std::wstring()));
}
