#include "app/Launcher.h"

#include <windows.h>

#include <regex>
#include <vector>

#include <gtest/gtest.h>

#include "base/TextUtil.h"
#include "support/Sandbox.h"

namespace {

using lumo::test::TempFolder;
using lumo::test::WriteFileBytes;

TEST(Launcher, StagingDirectoryNameFollowsTheGuidPattern) {
  const GUID guid = {0x0A1B2C3D, 0xE4F5, 0xABCD, {0x01, 0xEF, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD}};
  // The third group is written in lower case.
  EXPECT_EQ(StagingDirectoryName(guid), L"{0A1B2C3D-E4F5-abcd-01EF-23456789ABCD}.tmp");
}

TEST(Launcher, CreatesAFreshStagingDirectory) {
  std::wstring first, second;
  ASSERT_TRUE(CreateStagingDirectory(first));
  ASSERT_TRUE(CreateStagingDirectory(second));
  EXPECT_NE(first, second);
  EXPECT_TRUE(lumo::DirectoryExists(first));
  EXPECT_EQ(lumo::DirectoryOf(first) + L"\\", lumo::TempDirectory());
  lumo::test::RemoveTree(first);
  lumo::test::RemoveTree(second);
  const std::wregex pattern(LR"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9a-f]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}\.tmp)");
  EXPECT_TRUE(std::regex_match(first.substr(first.rfind(L'\\') + 1), pattern)) << first;
}

TEST(Launcher, RelaunchParametersKeepTheReceivedArgumentsInFront) {
  EXPECT_EQ(BuildRelaunchParameters(L"", L""), L"  /READYUNINSTALL");
  EXPECT_EQ(BuildRelaunchParameters(L"/S", L"dG9rZW4="), L"/S  /READYUNINSTALL  /CHK=dG9rZW4=");
  EXPECT_EQ(BuildRelaunchParameters(L"/K /x=1", L""), L"/K /x=1  /READYUNINSTALL");
}

TEST(Launcher, ParentNameIsTheFileNameWithoutExtension) {
  EXPECT_EQ(ParentNameForReport(L"C:\\Program Files\\Kesto\\kestowp.exe"), L"kestowp");
  EXPECT_EQ(ParentNameForReport(L"C:\\Windows\\explorer"), L"explorer");
  EXPECT_EQ(ParentNameForReport(L"C:\\a.b\\setup.v2.exe"), L"setup.v2");
  EXPECT_EQ(ParentNameForReport(L"kestowp.exe"), L"");
  EXPECT_EQ(ParentNameForReport(L""), L"");
}

struct StagingCase {
  const char* name;
  std::vector<const wchar_t*> installFiles;
  bool expectedResult;
  std::vector<const wchar_t*> expectedStaged;
};

class StagingCopyCases : public ::testing::TestWithParam<StagingCase> {};

TEST_P(StagingCopyCases, CopiesWhatTheTableAsks) {
  TempFolder install, staging;
  ::CreateDirectoryW((install / L"Utils").c_str(), nullptr);
  ::CreateDirectoryW((install / L"wallpaperhelper").c_str(), nullptr);
  for (const wchar_t* file : GetParam().installFiles) {
    ASSERT_TRUE(WriteFileBytes(install / file, "x"));
  }

  EXPECT_EQ(CopyStagingFiles(install.path(), staging.path()), GetParam().expectedResult);
  for (const wchar_t* file : GetParam().expectedStaged) {
    EXPECT_TRUE(lumo::FileExists(staging / file)) << GetParam().name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, StagingCopyCases,
    ::testing::Values(
        StagingCase{"complete",
                    {L"Uninstall.exe", L"Vodureda.dll", L"wallpaperhelper\\ZetaNetUL.dll", L"Utils\\7z.dll"},
                    true,
                    {L"Uninstall.exe", L"Vodureda.dll", L"ZetaNetUL.dll", L"7z.dll"}},
        StagingCase{"renamed uninstaller", {L"Zivizivo.exe", L"Vodureda.dll", L"Utils\\7z.dll"}, true,
                    {L"Uninstall.exe", L"Vodureda.dll", L"7z.dll"}},
        StagingCase{"no network module", {L"Uninstall.exe", L"Vodureda.dll", L"Utils\\7z.dll"}, true,
                    {L"Uninstall.exe", L"7z.dll"}},
        StagingCase{"no archive library", {L"Uninstall.exe", L"Vodureda.dll"}, false, {L"Uninstall.exe"}},
        StagingCase{"no marker library", {L"Uninstall.exe", L"Utils\\7z.dll"}, false, {}},
        StagingCase{"no uninstaller", {L"Vodureda.dll", L"Utils\\7z.dll"}, false, {}}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name) if (c == ' ') c = '_';
      return name;
    });

TEST(Launcher, UtilitiesFolderIsMadeEvenWithoutTheLibrary) {
  TempFolder install, staging;
  CopyStagingUtilities(install.path(), staging.path());
  EXPECT_TRUE(lumo::DirectoryExists(staging / L"Utils"));
  ::CreateDirectoryW((install / L"Utils").c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(install / L"Utils\\BrixBasic.dll", "b"));
  CopyStagingUtilities(install.path(), staging.path());
  EXPECT_TRUE(lumo::FileExists(staging / L"Utils\\BrixBasic.dll"));
}

}  // namespace
