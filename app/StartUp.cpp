#include "app/StartUp.h"

#include <objidl.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <clocale>

#include "app/CommandParser.h"
#include "app/Launcher.h"
#include "app/ProductProfile.h"
#include "app/SmartLogger.h"
#include "app/StartupChecks.h"
#include "base/AppModule.h"
#include "base/TextUtil.h"
#include "engine/FileRemoval.h"
#include "engine/UninstallTask.h"
#include "layerui/DefaultFont.h"
#include "layerui/MessageBox.h"
#include "layerui/ResInitializer.h"

const wchar_t kLogFileName[] = L"lumo_uninst.log";

namespace {

const wchar_t kDamagedText[] = L"卸载程序已被破坏，请重新下载安装后再进行卸载";
const wchar_t kAlreadyRunningText[] = L"安装或卸载程序已经在运行,点击“确定”退出";
constexpr UINT kSetupConfigId = 209;
constexpr DWORD kFailureReportWaitMs = 3000;  // lets the background report go out

ResInitializer& SkinResources() {
  static ResInitializer resources;
  return resources;
}

void InitProcessServices(HINSTANCE instance) {
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  _wsetlocale(LC_ALL, L"chs");
  lumo::AppModule().Init(instance);
}

ULONG_PTR StartGdiplus() {
  Gdiplus::GdiplusStartupInput input;  // version 1, default options
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) token = 0;
  return token;
}

// Offers the full installer when this copy cannot do its job.
void ShowDownloadPrompt() {
  if (ShowMessageBox(nullptr, kDamagedText, MB_YESNO) == IDYES) {
    ::ShellExecuteW(nullptr, L"open", LUMO_DOWNLOAD_URL, nullptr, nullptr, SW_SHOWNORMAL);
  }
}

void RunLauncherInstance(const CCommandParser& parser) {
  if (!RelaunchFromStaging(parser.CommandLine(), parser.IsSilent())) ShowDownloadPrompt();
}

// The staging copy removes its own folder; what is in use (this very program)
// goes at the next restart. Only a folder directly inside the temporary
// directory is a staging folder: a copy started from anywhere else must not
// take that folder with it.
void RemoveStagingDirectory() {
  const std::wstring ownDir = lumo::DirectoryOf(lumo::ModulePath());
  const std::wstring tempDir = lumo::TempDirectory();
  if (tempDir.empty() || lumo::ToUpper(lumo::DirectoryOf(ownDir) + L"\\") != lumo::ToUpper(tempDir)) {
    LUMO_LOG(L"keep program folder %s: not a staging folder", ownDir.c_str());
    return;
  }
  PurgeTree(ownDir);
}

void RunWorkingInstance(HINSTANCE instance, MainWindowFactory createMainWindow) {
  std::wstring installDir;
  if (!ReadInstallDir(installDir) || !lumo::DirectoryExists(installDir)) {
    ShowMessageBox(nullptr, kDamagedText, MB_OK);
    return;
  }
  IUninstallTask* task = CUninstallTask::Instance();
  task->SetInstallDir(installDir.c_str());
  ::SetCurrentDirectoryW(lumo::DirectoryOf(lumo::ModulePath()).c_str());
  const int code = task->PreInitCheck();
  if (code != 0) {
    LUMO_LOG(L"pre init check failed, ret = %d", code);
    ShowMessageBox(nullptr, PreInitMessage(code), MB_OK);
    ::Sleep(kFailureReportWaitMs);
    return;
  }
  if (!task->InitConfig(instance, kSetupConfigId, L"SETUPCONFIG", L"lumo.brixprj")) {
    LUMO_LOG(L"init config failed, exit");
    ShowDownloadPrompt();
    ::Sleep(kFailureReportWaitMs);
    return;
  }
  RunUi(createMainWindow);
  RemoveStagingDirectory();
}

void CleanUp(ULONG_PTR gdiplusToken) {
  CInstanceMutex::Instance().ReleaseAll();
  SkinResources().Release();
  lumo::AppModule().Term();
  ::CoUninitialize();
  if (gdiplusToken) Gdiplus::GdiplusShutdown(gdiplusToken);
}

}  // namespace

int RunUninstaller(HINSTANCE instance, const wchar_t* commandLine, MainWindowFactory createMainWindow) {
  InitProcessServices(instance);
  CSmartLogger::Instance().SetPath(lumo::TempDirectory() + kLogFileName);
  CCommandParser& parser = *CCommandParser::Instance();
  parser.Parse(commandLine);
  if (!CheckCallAuthorisation()) {
    LUMO_LOG(L"illegal call");
    return 0;
  }

  const ULONG_PTR gdiplusToken = StartGdiplus();
  CDefaultFont::Instance()->ChooseFace();
  SkinResources().Init();
  SetMessageBoxSilent(parser.IsSilent());

  if (!CInstanceMutex::Instance().CheckSingleInstance()) {
    LUMO_LOG(L"CheckSingleInstance failed, exit");
    ShowMessageBox(nullptr, kAlreadyRunningText, MB_OK);
  } else if (!parser.HasSwitch(L"/READYUNINSTALL")) {
    RunLauncherInstance(parser);
  } else {
    RunWorkingInstance(instance, createMainWindow);
  }

  CleanUp(gdiplusToken);
  return 0;
}
