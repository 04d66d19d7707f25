#pragma once
#include <string>

// Step 4 of the run sequence: the plug-in launcher named in the registry runs
// the uninstall command stored in the installation's "config.set".
class CPluginTask {
 public:
  void StartTask(const std::wstring& installDir);

  const std::wstring& LauncherPath() const { return launcherPath_; }
  const std::wstring& CommandParameters() const { return commandParameters_; }
  const std::wstring& InstallDir() const { return installDir_; }

 private:
  std::wstring launcherPath_;
  std::wstring commandParameters_;
  std::wstring installDir_;
};
