#include "engine/Registrations.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include <gtest/gtest.h>

#include "base/TextUtil.h"
#include "engine/FileRemoval.h"
#include "engine/RegistrationSupport.h"
#include "engine/RemovalSupport.h"
#include "support/Sandbox.h"

namespace {

using lumo::test::GoneOrScheduled;
using lumo::test::HeldFile;
using lumo::test::InSpecialFolder;
using lumo::test::MakeShortcut;
using lumo::test::ScopedRegistryKey;
using lumo::test::ScopedShellItem;
using lumo::test::LogCapture;
using lumo::test::MakeDirectories;
using lumo::test::MakeFile;
using lumo::test::PendingRenames;

TEST(DesktopShortcuts, RemovedFromBothDesktops) {
  ScopedShellItem common(InSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY, kShortcutName));
  ScopedShellItem user(InSpecialFolder(CSIDL_DESKTOPDIRECTORY, kShortcutName));
  if (common.existedBefore() || user.existedBefore()) GTEST_SKIP() << "a product shortcut is already there";
  ASSERT_TRUE(MakeShortcut(common.path()));
  ASSERT_TRUE(MakeShortcut(user.path()));
  PendingRenames pending;
  RemoveDesktopShortcuts();
  EXPECT_TRUE(GoneOrScheduled(common.path(), pending));
  EXPECT_TRUE(GoneOrScheduled(user.path(), pending));
}

TEST(DesktopShortcuts, NoneThereLeavesNoTraceInTheLog) {
  ScopedShellItem common(InSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY, kShortcutName));
  ScopedShellItem user(InSpecialFolder(CSIDL_DESKTOPDIRECTORY, kShortcutName));
  if (common.existedBefore() || user.existedBefore()) GTEST_SKIP() << "a product shortcut is already there";
  LogCapture log;
  RemoveDesktopShortcuts();
  EXPECT_EQ(log.Text(), L"");
}

TEST(DesktopShortcuts, HeldShortcutIsScheduledForDeletionAtRestart) {
  ScopedShellItem user(InSpecialFolder(CSIDL_DESKTOPDIRECTORY, kShortcutName));
  if (user.existedBefore()) GTEST_SKIP() << "a product shortcut is already there";
  ASSERT_TRUE(MakeShortcut(user.path()));
  PendingRenames pending;
  LogCapture log;
  {
    HeldFile held(user.path());
    ASSERT_TRUE(held.holding());
    RemoveDesktopShortcuts();
    EXPECT_TRUE(PathExists(user.path()));
  }
  ASSERT_EQ(pending.Added().size(), 1u);
  EXPECT_TRUE(lumo::test::EqualsNoCase(pending.Added()[0], user.path()));
  EXPECT_EQ(log.Count(L"delete " + user.path() + L" failed, error=32"), 1u);
}

TEST(ShellFolders, StartMenuCacheAndUserDataGoEachInTheirStep) {
  ScopedShellItem startMenu(InSpecialFolder(CSIDL_COMMON_PROGRAMS, kStartMenuFolderName));
  ScopedShellItem userData(InSpecialFolder(CSIDL_APPDATA, kUserDataFolderName));
  if (startMenu.existedBefore() || userData.existedBefore()) GTEST_SKIP() << "product folders are already there";
  const std::wstring cache = InSpecialFolder(CSIDL_APPDATA, kBrowserCacheFolder);
  const std::wstring settings = lumo::JoinPath(userData.path(), L"config.set");
  ASSERT_TRUE(MakeDirectories(lumo::JoinPath(startMenu.path(), L"Tools")));
  ASSERT_TRUE(MakeFile(lumo::JoinPath(startMenu.path(), L"Tools\\Kesto.lnk")));
  ASSERT_TRUE(MakeDirectories(lumo::JoinPath(cache, L"Cache")));
  ASSERT_TRUE(MakeFile(lumo::JoinPath(cache, L"Cache\\data_0")));
  ASSERT_TRUE(MakeFile(settings));

  RemoveStartMenuFolder();
  EXPECT_FALSE(PathExists(startMenu.path()));
  RemoveBrowserCache();
  EXPECT_FALSE(PathExists(cache));
  EXPECT_TRUE(PathExists(settings)) << "the user data stays without its own step";
  RemoveUserDataFolder();
  EXPECT_FALSE(PathExists(userData.path()));
}

TEST(ApplicationKey, SharedKeysAreNeverDeleted) {
  const struct {
    const wchar_t* subKey;
    bool deletable;
  } cases[] = {
      {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestowp.exe", true},
      {L"Software\\KestoWallPaper", true},
      {L"SOFTWARE", false},
      {L"SOFTWARE\\", false},
      {L"\\SOFTWARE\\Kesto", false},
      {L"software\\microsoft", false},
      {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\", false},
      {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsDeletableApplicationKey(c.subKey), c.deletable) << c.subKey;
}

// The three product keys go together, and only when the project names its key.
class ProductKeysTest : public ::testing::TestWithParam<bool> {};

TEST_P(ProductKeysTest, RemovedOnlyWithTheApplicationSubKey) {
  const bool projectNamesKey = GetParam();
  const std::wstring applicationKey = L"SOFTWARE\\KestoRegistrationTest" + lumo::test::NewGuidText();
  ScopedRegistryKey application(HKEY_LOCAL_MACHINE, applicationKey);
  ScopedRegistryKey user(HKEY_CURRENT_USER, kUserProductKey);
  ScopedRegistryKey productClass(HKEY_CLASSES_ROOT, kProductClassKey);
  if (user.existedBefore() || productClass.existedBefore()) GTEST_SKIP() << "product keys are already there";
  ASSERT_TRUE(application.Create());
  ASSERT_TRUE(user.Create());
  ASSERT_TRUE(productClass.Create());

  RemoveProductRegistryKeys(HKEY_LOCAL_MACHINE, projectNamesKey ? applicationKey : L"");
  EXPECT_NE(application.exists(), projectNamesKey);
  EXPECT_NE(user.exists(), projectNamesKey);
  EXPECT_NE(productClass.exists(), projectNamesKey);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutKeyName, ProductKeysTest, ::testing::Bool());

TEST(UninstallRegistration, Removed) {
  ScopedRegistryKey registration(HKEY_LOCAL_MACHINE, kUninstallRegistrationKey);
  if (registration.existedBefore()) GTEST_SKIP() << "the product is registered on this machine";
  ASSERT_TRUE(registration.Create());
  RemoveUninstallRegistration();
  EXPECT_FALSE(registration.exists());
  RemoveUninstallRegistration();  // already gone: no harm
  EXPECT_FALSE(registration.exists());
}

}  // namespace
