#include "engine/Uninstaller.h"

#include <algorithm>

#include "app/ProductProfile.h"
#include "app/SmartLogger.h"
#include "base/SimpleBind.h"
#include "base/TextUtil.h"
#include "base/UIThreadWindow.h"
#include "engine/AutoRun.h"
#include "engine/FileRemovalSteps.h"
#include "engine/Registrations.h"
#include "engine/Hooks.h"
#include "engine/ProcessShutdown.h"
#include "engine/ServiceRemoval.h"
#include "net/SystemInfo.h"
#include "setupconfig/SetupConfig.h"

CUninstaller::CUninstaller(CSetupConfig& config) : config_(config) {}

void CUninstaller::Start(IUninstallCallback* callback) {
  callback_ = callback;
  worker_.Start(0, this);
  LUMO_LOG(L"start uninstall thread...");
}

void CUninstaller::DetachCallback() {
  _BaseModule::CAutoLocker guard(&lock_);
  callback_ = nullptr;
}

void CUninstaller::NotifyStart() {
  if (IUninstallCallback* callback = callback_) callback->OnUninstallStart();
}

void CUninstaller::NotifyEnd() {
  if (IUninstallCallback* callback = callback_) callback->OnUninstallEnd();
}

void CUninstaller::NotifyProgress(int percent) {
  if (IUninstallCallback* callback = callback_) callback->OnProgress(percent);
}

void CUninstaller::CallOnUiThread(void (CUninstaller::*method)()) {
  if (!callback_) return;
  mf_bind_t<CUninstaller, CUninstaller*, void> call(method, this);
  CUIThreadWindow::CallOnUIThread(&call);
}

void CUninstaller::ReportProgress(int value) {
  ::OutputDebugStringW(lumo::Format(L"nProgress=%d\n", value).c_str());
  if (!callback_) return;
  mf_bind_t_1<CUninstaller, CUninstaller*, void, int> call(&CUninstaller::NotifyProgress, this, std::min(value, 99));
  CUIThreadWindow::CallOnUIThread(&call);
}

int CUninstaller::FileProgressPercent(int deleted, int total) {
  if (total <= 0) return 98;
  // Single precision and truncation, so that every file moves the bar the
  // same way on every build.
  const float share = static_cast<float>(deleted) / static_cast<float>(total);
  return static_cast<int>(share * 88.0f + 10.0f);
}

void CUninstaller::StepFileProgress() {
  ++deletedFiles_;
  if (deletedFiles_ >= totalFiles_) deletedFiles_ = totalFiles_;
  ReportProgress(FileProgressPercent(deletedFiles_, totalFiles_));
}

void CUninstaller::Run(INT_PTR) {
  lumo::GetFileVersionText(lumo::JoinPath(installDir_, kMainExeName), productVersion_);
  productPid_ = ReadInstallPid();

  CFileRemovalSteps files(installDir_, config_.GetRootDirList(), pending_);
  CallOnUiThread(&CUninstaller::NotifyStart);
  RunHookSteps();
  RunShutdownStep();
  RunRegistrationSteps(files);
  RunFileSteps(files);
  RunFinalSteps();
}

// Steps 2 to 6: the product's own uninstall programs, its rundll
// unregistrations, the plug-in command and the registry-listed hooks.
void CUninstaller::RunHookSteps() {
  ReportProgress(1);
  LUMO_LOG(L"start call program");
  RunUninstallPrograms(config_.UninstallPrograms(), installDir_);
  RunRundllUnregistrations(config_.RundllItems(), installDir_, lumo::IsSystem64Bit());
  pluginTask_.StartTask(installDir_);
  RunRunListHooks(installDir_);
  RunFilePeHooks(installDir_);
}

// Steps 7 and 8: the product's programs are asked to quit and the rest is
// killed; then the helper module's "Uninst".
void CUninstaller::RunShutdownStep() {
  ReportProgress(4);
  LUMO_LOG(L"start close all processes");
  KillProcessesInInstallPath(config_, installDir_);
  ReportProgress(5);
  CallHelperModule(installDir_);
}

// Steps 9 to 19: shortcuts, caches, user data, registry, autorun, the
// uninstall key, the guard helper and the services.
void CUninstaller::RunRegistrationSteps(CFileRemovalSteps& files) {
  LUMO_LOG(L"remove desktop shortcuts");
  RemoveDesktopShortcuts();
  ReportProgress(6);
  LUMO_LOG(L"remove start menu shortcuts");
  RemoveStartMenuFolder();
  RemoveBrowserCache();
  LUMO_LOG(L"remove cef cache");
  if (removeUserData_) {
    LUMO_LOG(L"remove appdata");
    RemoveUserDataFolder();
  }
  ReportProgress(7);
  LUMO_LOG(L"remove file by registry");
  files.RemoveFilesByRegistry();
  LUMO_LOG(L"remove registry");
  RemoveProductRegistryKeys(config_.GetRegRootKey(), ApplicationSubKey());
  ReportProgress(8);
  LUMO_LOG(L"remove autorun");
  RemoveAutoRun(installDir_);
  ReportProgress(9);
  RemoveUninstallRegistration();
  LUMO_LOG(L"Delete uninstall registry");
  if (!StopAndDeleteService(L"KestoDrv")) LUMO_LOG(L"delete KestoDrv fail");
  if (!StopAndDeleteService(L"KsSvc")) LUMO_LOG(L"delete kssvc fail");
}

// The project's application key; at most 1023 characters.
std::wstring CUninstaller::ApplicationSubKey() {
  wchar_t subKey[1024] = {};
  if (!config_.GetRegSubKey(subKey, 1024)) return {};
  return subKey;
}

// Steps 20 to 23: the installation root with per-file progress, the legacy
// location, the temporary files and what is left for the restart. Nothing is
// deleted when the installation directory is a drive root or a system folder.
void CUninstaller::RunFileSteps(CFileRemovalSteps& files) {
  LUMO_LOG(L"start delete all files in %s", installDir_.c_str());
  files.DeleteRootFiles(totalFiles_, this);
  LUMO_LOG(L"end delete all files in %s", installDir_.c_str());
  files.RemoveLegacyLocation();
  ReportProgress(97);
  files.SweepTempFiles();
  ReportProgress(98);
  LUMO_LOG(L"start create runonce bat");
  files.FinishPendingDeletes();
}

// Steps 24 to 26: the UI hears the end, the report goes out, and the window
// that waits for the engine is released.
void CUninstaller::RunFinalSteps() {
  ReportProgress(100);
  CallOnUiThread(&CUninstaller::NotifyEnd);
  const unsigned long reportResult = 0;
  LUMO_LOG(L"re unistinfo ret=%lu", reportResult);
  _BaseModule::CAutoLocker guard(&lock_);
  if (IUninstallCallback* callback = callback_) callback->OnRealInstallEnd();
}
