#include "app/ProductProfile.h"
#include "app/SettingsFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/TextUtil.h"
#include "support/Sandbox.h"

namespace {

using lumo::test::ReadFileBytes;
using lumo::test::RegistryValueOverride;
using lumo::test::TempFolder;
using lumo::test::WriteFileBytes;

// Puts a product's main executable beside (or above) the running test for
// the length of a test.
class PlacedFile {
 public:
  explicit PlacedFile(const std::wstring& path) : path_(path) { WriteFileBytes(path_, "MZ"); }
  ~PlacedFile() { ::DeleteFileW(path_.c_str()); }

 private:
  std::wstring path_;
};

const std::wstring kOwnDir = lumo::DirectoryOf(lumo::ModulePath());

TEST(ProductProfile, DetectsTheProductByItsMainExecutable) {
  EXPECT_EQ(DetectProductCode(0), kNoProduct);  // like the staging folder: no product here
  EXPECT_EQ(GetProductTypeName(0), L"");
  EXPECT_EQ(GetProductPid(0), L"");
  EXPECT_EQ(DetectProductCode(-1), kNoProduct);
  {
    PlacedFile exe(lumo::JoinPath(kOwnDir, L"kestowp.exe"));
    EXPECT_EQ(DetectProductCode(0), kProductKesto);
    EXPECT_EQ(GetProductTypeName(0), L"kesto");
    EXPECT_EQ(DetectProductCode(1), kNoProduct);
  }
  {
    PlacedFile exe(lumo::JoinPath(lumo::DirectoryOf(kOwnDir), L"KESTOWP.EXE"));
    EXPECT_EQ(DetectProductCode(1), kProductKesto);
  }
}

TEST(ProductProfile, PidValuesComeFromTheUserKey) {
  RegistryValueOverride pid(HKEY_CURRENT_USER, L"Software\\KestoWallPaper", L"pid", 0);
  pid.SetString(L"  VeViVuda \t");
  EXPECT_EQ(ReadInstallPid(), L"VeViVuda");
  {
    PlacedFile exe(lumo::JoinPath(kOwnDir, L"kestowp.exe"));
    EXPECT_EQ(GetProductPid(0), L"  VeViVuda \t");  // same value name, not trimmed
  }
  pid.Delete();
  EXPECT_EQ(ReadInstallPid(), L"");
  pid.SetString(L"");
  EXPECT_EQ(ReadInstallPid(), L"");
}

TEST(SettingsFile, WritingCreatesTheFileAndSection) {
  TempFolder install;
  const std::wstring file = InstallSettingsPath(install.path());
  EXPECT_EQ(file, install / L"config.set");
  EXPECT_TRUE(WriteSetting(file, L"auto_run", L"open", L"0"));
  EXPECT_NE(ReadFileBytes(file).find("[auto_run]"), std::string::npos);
  EXPECT_EQ(ReadSetting(file, L"auto_run", L"open", L"", 260), L"0");
  EXPECT_TRUE(WriteSetting(file, L"auto_run", L"open", L"1"));
  EXPECT_EQ(ReadSetting(file, L"auto_run", L"open", L"", 260), L"1");
}

TEST(SettingsFile, MissingKeysReadAsTheFallbackAndLongValuesAreCut) {
  TempFolder install;
  const std::wstring file = InstallSettingsPath(install.path());
  EXPECT_EQ(ReadSetting(file, L"plugin_nx", L"uninstall_cmd_param", L"", 260), L"");
  ASSERT_TRUE(WriteSetting(file, L"login", L"token", L"abcdefghij"));
  EXPECT_EQ(ReadSetting(file, L"plugin_nx", L"uninstall_cmd_param", L"", 260), L"");
  EXPECT_EQ(ReadSetting(file, L"login", L"token", L"", 5), L"abcd");
}

TEST(SettingsFile, UserSettingsLiveInTheRoamingProfile) {
  const std::wstring file = UserSettingsPath();
  EXPECT_EQ(file.substr(file.size() - 19), L"\\kestowp\\config.set");
  EXPECT_TRUE(lumo::DirectoryExists(lumo::DirectoryOf(file)));
}

}  // namespace
