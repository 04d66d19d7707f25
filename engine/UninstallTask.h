#pragma once
#include <windows.h>

#include <string>

#include "engine/UninstallCallback.h"
#include "engine/Uninstaller.h"
#include "setupconfig/SetupConfig.h"

// The one object through which the program reaches the engine and the setup
// project. The slots keep the standard Windows calling convention, like a COM
// interface without reference counting.
class IUninstallTask {
 public:
  virtual int __stdcall PreInitCheck() = 0;
  virtual bool __stdcall InitConfig(HMODULE module, UINT resourceId, const wchar_t* resourceType,
                                    const wchar_t* projectName) = 0;
  virtual void __stdcall StartUninstall(IUninstallCallback* callback) = 0;
  virtual void __stdcall WriteLog(const wchar_t* text) = 0;
  virtual bool __stdcall IsGameCenterUnplayed() = 0;
  virtual void __stdcall SetUninstallGameCenter(int choice) = 0;
  virtual bool __stdcall IsGameCenterFromProduct() = 0;
  virtual void __stdcall SetRemoveUserData(int remove) = 0;
  virtual void __stdcall SetInstallDir(const wchar_t* dir) = 0;
  virtual int __stdcall GetInstallDir(wchar_t* buffer, int capacity) = 0;
  virtual void __stdcall DetachCallback() = 0;
  virtual bool __stdcall IsUninstallDefault() = 0;
  virtual void __stdcall Release() = 0;

 protected:
  ~IUninstallTask() = default;
};

class CUninstallTask : public IUninstallTask {
 public:
  CUninstallTask();
  virtual ~CUninstallTask() = default;

  // The process-wide task.
  static IUninstallTask* Instance();
  static CUninstallTask& Object();

  int __stdcall PreInitCheck() override;
  bool __stdcall InitConfig(HMODULE module, UINT resourceId, const wchar_t* resourceType,
                            const wchar_t* projectName) override;
  void __stdcall StartUninstall(IUninstallCallback* callback) override;
  void __stdcall WriteLog(const wchar_t* text) override;
  bool __stdcall IsGameCenterUnplayed() override;
  void __stdcall SetUninstallGameCenter(int choice) override;
  bool __stdcall IsGameCenterFromProduct() override;
  void __stdcall SetRemoveUserData(int remove) override;
  void __stdcall SetInstallDir(const wchar_t* dir) override;
  int __stdcall GetInstallDir(wchar_t* buffer, int capacity) override;
  void __stdcall DetachCallback() override;
  bool __stdcall IsUninstallDefault() override { return true; }
  void __stdcall Release() override {}

  CSetupConfig& Config() { return config_; }
  CUninstaller& Engine() { return engine_; }

 private:
  CSetupConfig config_;
  CUninstaller engine_;
  std::wstring spare_;
};
