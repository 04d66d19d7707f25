#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/Locks.h"
#include "base/XThread.h"
#include "engine/FileRemoval.h"
#include "engine/PluginTask.h"
#include "engine/UninstallCallback.h"

class CSetupConfig;

// The uninstall engine: one fixed sequence of removal steps on a worker
// thread. No step can stop the sequence; each logs its own problems.
class CUninstaller : public IThreadCallback, private IFileProgress {
 public:
  explicit CUninstaller(CSetupConfig& config);
  virtual ~CUninstaller() = default;

  // Stores the callback (null allowed), starts the worker and returns.
  void Start(IUninstallCallback* callback);
  void DetachCallback();

  void SetInstallDir(const wchar_t* dir) { installDir_ = dir ? dir : L""; }
  const std::wstring& InstallDir() const { return installDir_; }
  void SetRemoveUserData(int remove) { removeUserData_ = remove; }
  void SetGameCenterFlag(int flag) { gameCenterFlag_ = flag; }
  int GameCenterFlag() const { return gameCenterFlag_; }
  void SetGameCenterChoice(int choice) { gameCenterChoice_ = choice; }
  int GameCenterChoice() const { return gameCenterChoice_; }

  // The whole sequence; runs on the worker thread.
  void Run(INT_PTR param) override;

  // Used by the removal steps.
  void ReportProgress(int value);
  // One more file of the root deletion is gone: 10 to 98 percent.
  void StepFileProgress();
  void SetTotalFileCount(int total) { totalFiles_ = total; }
  PendingList& Pending() { return pending_; }
  CSetupConfig& Config() { return config_; }

  static int FileProgressPercent(int deleted, int total);

 private:
  void OnFileAttempted() override { StepFileProgress(); }
  void RunHookSteps();
  void RunShutdownStep();
  void RunRegistrationSteps(class CFileRemovalSteps& files);
  std::wstring ApplicationSubKey();
  void RunFileSteps(class CFileRemovalSteps& files);
  void RunFinalSteps();

  // Blocking calls on the UI thread; skipped without a callback.
  void NotifyStart();
  void NotifyProgress(int percent);
  void NotifyEnd();
  void CallOnUiThread(void (CUninstaller::*method)());

  CSetupConfig& config_;
  int deletedFiles_ = 0;
  std::wstring installDir_;
  PendingList pending_;
  IUninstallCallback* volatile callback_ = nullptr;
  CXThread worker_;
  int gameCenterChoice_ = 0;
  int gameCenterFlag_ = 0;
  int removeUserData_ = 0;
  _BaseModule::CCriticalSection lock_;
  int totalFiles_ = 0;
  std::wstring productVersion_;
  std::wstring productPid_;
  CPluginTask pluginTask_;
};
