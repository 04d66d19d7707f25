#include <windows.h>
#include <shlobj.h>

#include <string>

#include <gtest/gtest.h>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/AutoRun.h"
#include "engine/FileRemoval.h"
#include "engine/RegistrationSupport.h"
#include "engine/Registrations.h"
#include "engine/RemovalSupport.h"
#include "engine/Uninstaller.h"
#include "setupconfig/SetupConfig.h"
#include "support/Sandbox.h"

namespace {

using namespace lumo::test;

// Everything the product registers, made by the test when `register_` is set,
// and the engine run over it with the remove-user-data flag off.
class RegistrationRunTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(com_.succeeded());
    for (bool existed : {commonShortcut_.existedBefore(), userShortcut_.existedBefore(), startMenu_.existedBefore(),
                         userData_.existedBefore(), userKey_.existedBefore(), classKey_.existedBefore(),
                         uninstallKey_.existedBefore(), driver_.existedBefore(), service_.existedBefore()})
      if (existed) GTEST_SKIP() << "the product's registrations are already on this machine";
    ASSERT_TRUE(LoadProject());
    if (GetParam()) RegisterEverything();
  }
  void TearDown() override { DeleteTask(kAutoRunTaskName); }

  bool LoadProject() {
    return WriteUtf16File(project_ / L"list.xml",
                          L"<?xml version=\"1.0\" encoding=\"utf-16\"?><RootDirFiles><Dir/><File/></RootDirFiles>") &&
           WriteUtf16File(project_ / L"p.brixprj",
                          L"<?xml version=\"1.0\" encoding=\"utf-16\"?><Setup><Main Version=\"9\"/>"
                          L"<UninstallRootDirFileList File=\"list.xml\"/><RegAppPath HKEY=\"HKEY_LOCAL_MACHINE\" SubKey=\"" +
                              applicationKeyName_ + L"\" Value=\"path\"/></Setup>") &&
           config_.LoadProject(project_ / L"p.brixprj");
  }

  void RegisterEverything() {
    ASSERT_TRUE(MakeShortcut(commonShortcut_.path()));
    ASSERT_TRUE(MakeShortcut(userShortcut_.path()));
    ASSERT_TRUE(MakeFile(lumo::JoinPath(startMenu_.path(), L"Kesto.lnk")));
    ASSERT_TRUE(MakeFile(lumo::JoinPath(userData_.path(), L"cef_cache\\Cache\\data_0")));
    ASSERT_TRUE(MakeFile(userSettings()));
    for (ScopedRegistryKey* key : {&applicationKey_, &userKey_, &classKey_, &uninstallKey_}) ASSERT_TRUE(key->Create());
    for (RegistryValueOverride* value : {&userRunValue_, &machineRunValue_, &product32_, &product64_})
      value->SetString(L"\"C:\\Kesto\\kestowp.exe\" /autorun");
    ASSERT_TRUE(CreatePlainTask(kAutoRunTaskName));
    ASSERT_TRUE(driver_.Create());
    ASSERT_TRUE(service_.Create());
  }
  std::wstring userSettings() const { return lumo::JoinPath(userData_.path(), L"config.set"); }

  lumo::ScopedComInit com_;
  TempFolder project_, install_;
  LogCapture log_;
  PendingRenames pending_;  // the file steps schedule the drive's hiding folder
  const std::wstring applicationKeyName_ = L"SOFTWARE\\KestoRunTest" + NewGuidText();
  ScopedShellItem commonShortcut_{InSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY, kShortcutName)};
  ScopedShellItem userShortcut_{InSpecialFolder(CSIDL_DESKTOPDIRECTORY, kShortcutName)};
  ScopedShellItem startMenu_{InSpecialFolder(CSIDL_COMMON_PROGRAMS, kStartMenuFolderName)};
  ScopedShellItem userData_{InSpecialFolder(CSIDL_APPDATA, kUserDataFolderName)};
  ScopedRegistryKey applicationKey_{HKEY_LOCAL_MACHINE, applicationKeyName_};
  ScopedRegistryKey userKey_{HKEY_CURRENT_USER, kUserProductKey};
  ScopedRegistryKey classKey_{HKEY_CLASSES_ROOT, kProductClassKey};
  ScopedRegistryKey uninstallKey_{HKEY_LOCAL_MACHINE, kUninstallRegistrationKey};
  RegistryValueOverride userRunValue_{HKEY_CURRENT_USER, kRunKey, kAutoRunTaskName, KEY_WOW64_32KEY};
  RegistryValueOverride machineRunValue_{HKEY_LOCAL_MACHINE, kRunKey, kAutoRunTaskName, KEY_WOW64_32KEY};
  RegistryValueOverride product32_{HKEY_LOCAL_MACHINE, kRunKey, kProductRunValue, KEY_WOW64_32KEY};
  RegistryValueOverride product64_{HKEY_LOCAL_MACHINE, kRunKey, kProductRunValue, KEY_WOW64_64KEY};
  ScopedTestService driver_{L"KestoDrv"};
  ScopedTestService service_{L"KsSvc"};
  CSetupConfig config_;
};

TEST_P(RegistrationRunTest, LeavesNothingRegisteredButTheUserData) {
  const bool registered = GetParam();
  CUninstaller engine(config_);
  engine.SetInstallDir(install_.path().c_str());
  engine.Run(0);  // no callback: every step runs on this thread

  for (const ScopedShellItem* item : {&commonShortcut_, &userShortcut_})
    EXPECT_TRUE(GoneOrScheduled(item->path(), pending_)) << item->path();
  EXPECT_FALSE(PathExists(startMenu_.path()));
  EXPECT_FALSE(PathExists(lumo::JoinPath(userData_.path(), L"cef_cache")));
  EXPECT_EQ(PathExists(userSettings()), registered) << "the user data stays without the flag";
  for (const ScopedRegistryKey* key : {&applicationKey_, &userKey_, &classKey_, &uninstallKey_})
    EXPECT_FALSE(key->exists());
  EXPECT_FALSE(RunValueExists(HKEY_CURRENT_USER, KEY_WOW64_32KEY, kAutoRunTaskName));
  EXPECT_FALSE(RunValueExists(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kAutoRunTaskName));
  EXPECT_FALSE(RunValueExists(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kProductRunValue));
  EXPECT_FALSE(RunValueExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, kProductRunValue));
  EXPECT_FALSE(TaskExists(kAutoRunTaskName));
  EXPECT_FALSE(ServiceExists(L"KestoDrv"));
  EXPECT_FALSE(ServiceExists(L"KsSvc"));

  EXPECT_EQ(log_.Count(L"Delete AutoRun Registry, ret = 1"), 1u);
  EXPECT_EQ(log_.Count(L"Delete AutoRun Task Schedule, ret = 1"), 1u);
  EXPECT_EQ(log_.Count(L"delete KestoDrv fail"), registered ? 0u : 1u);
  EXPECT_EQ(log_.Count(L"delete kssvc fail"), registered ? 0u : 1u);
  EXPECT_EQ(log_.Count(L"remove appdata"), 0u);
}

INSTANTIATE_TEST_SUITE_P(OverRegistrationsAndOverNothing, RegistrationRunTest, ::testing::Bool());

}  // namespace
