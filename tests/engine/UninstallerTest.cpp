#include "engine/Uninstaller.h"

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/SmartLogger.h"
#include "base/Handles.h"
#include "base/TextUtil.h"
#include "base/UIThreadWindow.h"
#include "RecordingCallback.h"
#include "engine/UninstallTask.h"
#include "setupconfig/SetupConfig.h"
#include "support/Sandbox.h"

namespace {

using lumo::test::ReadFileBytes;
using lumo::test::PumpUntil;
using lumo::test::RecordingCallback;
using lumo::test::TempFolder;

class UninstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CUIThreadWindow::Create());
    CSmartLogger::Instance().SetPath(log_ / L"lumo_uninst.log");
    engine_.SetInstallDir(install_.path().c_str());
  }
  void TearDown() override { CSmartLogger::Instance().SetPath(lumo::TempDirectory() + L"lumo_uninst.log"); }
  std::string Log() const { return ReadFileBytes(log_ / L"lumo_uninst.log"); }

  TempFolder install_, log_;
  CSetupConfig config_;
  CUninstaller engine_{config_};
};

TEST_F(UninstallerTest, CallbacksArriveInOrderOnTheirThreads) {
  RecordingCallback callback;
  engine_.Start(&callback);
  ASSERT_TRUE(PumpUntil(callback.Done(), 60000));

  ASSERT_GE(callback.events.size(), 3u);
  EXPECT_EQ(callback.events.front(), "start");
  EXPECT_EQ(callback.events[callback.events.size() - 2], "end");
  EXPECT_EQ(callback.events.back(), "real-end");
  for (size_t i = 0; i + 1 < callback.threads.size(); ++i) EXPECT_EQ(callback.threads[i], ::GetCurrentThreadId());
  EXPECT_NE(callback.threads.back(), ::GetCurrentThreadId());  // the worker

  // No top-level entry to delete: straight from 9 to 97, and never 100.
  EXPECT_EQ(callback.progress, (std::vector<int>{1, 4, 5, 6, 7, 8, 9, 97, 98, 99}));
}

TEST_F(UninstallerTest, LogsTheStepsInOrder) {
  RecordingCallback callback;
  engine_.Start(&callback);
  ASSERT_TRUE(PumpUntil(callback.Done(), 60000));
  const std::string log = Log();
  const std::string dir(install_.path().begin(), install_.path().end());
  const std::vector<std::string> lines = {"start uninstall thread...\r\n",
                                          "start call program\r\n",
                                          "start close all processes\r\n",
                                          "remove desktop shortcuts\r\n",
                                          "remove start menu shortcuts\r\n",
                                          "remove cef cache\r\n",
                                          "remove file by registry\r\n",
                                          "remove registry\r\n",
                                          "remove autorun\r\n",
                                          "Delete uninstall registry\r\n",
                                          "delete KestoDrv fail\r\n",
                                          "delete kssvc fail\r\n",
                                          "start delete all files in " + dir + "\r\n",
                                          "end delete all files in " + dir + "\r\n",
                                          "start create runonce bat\r\n",
                                          "re unistinfo ret=0\r\n"};
  size_t at = 0;
  for (const std::string& line : lines) {
    const size_t found = log.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << "\n" << log;
    at = found + line.size();
  }
  EXPECT_EQ(log.find("remove appdata"), std::string::npos);  // the user data stays by default
}

TEST_F(UninstallerTest, DetachedCallbackDoesNotStopTheRun) {
  RecordingCallback callback;
  engine_.Start(&callback);
  engine_.DetachCallback();
  for (int i = 0; i < 600 && Log().find("re unistinfo ret=") == std::string::npos; ++i) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(50);
  }
  EXPECT_NE(Log().find("start create runonce bat\r\n"), std::string::npos);
  EXPECT_NE(Log().find("re unistinfo ret="), std::string::npos);
  EXPECT_EQ(::WaitForSingleObject(callback.Done(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(FileProgress, SinglePrecisionTruncated) {
  EXPECT_EQ(CUninstaller::FileProgressPercent(1, 52), 11);
  EXPECT_EQ(CUninstaller::FileProgressPercent(1, 1000), 10);
  EXPECT_EQ(CUninstaller::FileProgressPercent(26, 52), 54);
  EXPECT_EQ(CUninstaller::FileProgressPercent(52, 52), 98);
  EXPECT_EQ(CUninstaller::FileProgressPercent(1, 3), 39);  // 29.333... + 10
}

TEST(UninstallTask, InstallDirCopiesOnlyWhenItFits) {
  CUninstallTask& task = CUninstallTask::Object();
  task.SetInstallDir(L"C:\\Kesto");
  wchar_t buffer[16];
  std::wmemset(buffer, L'#', 16);
  task.GetInstallDir(buffer, 8);  // eight units: no room for the terminator
  EXPECT_EQ(buffer[0], L'#');
  task.GetInstallDir(buffer, 9);
  EXPECT_STREQ(buffer, L"C:\\Kesto");
  task.SetInstallDir(nullptr);
  std::wmemset(buffer, L'#', 16);
  task.GetInstallDir(buffer, 16);
  EXPECT_EQ(buffer[0], L'#');
  EXPECT_TRUE(task.IsUninstallDefault());
}

TEST(UninstallTask, GameCenterChoiceNeedsTheFlag) {
  CUninstallTask& task = CUninstallTask::Object();
  task.SetUninstallGameCenter(1);
  EXPECT_EQ(task.Engine().GameCenterChoice(), 0);
  lumo::test::RegistryValueOverride vendor(HKEY_LOCAL_MACHINE, L"SOFTWARE\\BrixGameCenter", L"VendorID",
                                           KEY_WOW64_32KEY);
  vendor.SetString(L"ZetaLUMO-77");
  EXPECT_TRUE(task.IsGameCenterFromProduct());
  task.SetUninstallGameCenter(1);
  EXPECT_EQ(task.Engine().GameCenterChoice(), 1);
  vendor.SetString(L"other");
  EXPECT_FALSE(task.IsGameCenterFromProduct());
  task.SetUninstallGameCenter(0);
  EXPECT_EQ(task.Engine().GameCenterChoice(), 1);  // flag off again: unchanged
}

}  // namespace
