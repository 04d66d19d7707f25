#include "engine/ProgramLauncher.h"

#include <gtest/gtest.h>

#include "ShutdownSupport.h"
#include "base/TextUtil.h"
#include "engine/ProcessShutdown.h"

namespace {

using lumo::test::PlaceFixture;
using lumo::test::RecordOf;
using lumo::test::TempFolder;

TEST(LaunchProgram, TheSignatureFlagStartsOnlyAcceptedPrograms) {
  struct Case {
    const wchar_t* fixture;
    bool checkSignature;
    bool starts;
  };
  const Case cases[] = {
      {L"recorder_accepted.exe", true, true},
      {L"recorder_unsigned.exe", true, false},
      {L"recorder_wrong.exe", true, false},
      {L"recorder_unsigned.exe", false, true},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const std::wstring path = folder / L"with space\\program.exe";
    ASSERT_TRUE(PlaceFixture(c.fixture, path));
    DWORD exitCode = 12345;
    EXPECT_EQ(LaunchProgram(path.c_str(), L"/a \"b c\"", SW_HIDE, c.checkSignature, true, &exitCode, 30000),
              c.starts)
        << c.fixture;
    if (c.starts) {
      EXPECT_EQ(exitCode, 3u) << c.fixture;
      EXPECT_EQ(RecordOf(path), L"\"" + path + L"\" /a \"b c\"\n") << c.fixture;
    } else {
      EXPECT_EQ(exitCode, 12345u) << c.fixture;  // untouched
      EXPECT_EQ(RecordOf(path), L"") << c.fixture;  // nothing started
    }
  }
}

TEST(LaunchProgram, ATimedOutWaitReportsStillActiveAndLeavesTheProgramRunning) {
  TempFolder folder;
  const std::wstring path = folder / L"stays.exe";
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", path));
  DWORD exitCode = 0;
  EXPECT_TRUE(LaunchProgram(path.c_str(), L"--stay", SW_HIDE, false, true, &exitCode, 0));
  EXPECT_EQ(exitCode, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(lumo::test::WaitUntil([&] { return lumo::test::IsPathRunning(path); }));
  KillProcessByPath(path.c_str());
  EXPECT_TRUE(lumo::test::WaitUntil([&] { return !lumo::test::IsPathRunning(path); }));
}

TEST(LaunchProgram, RefusesUnusablePaths) {
  TempFolder folder;
  const std::wstring tooLong = folder.path() + L"\\" + std::wstring(270, L'a') + L".exe";
  const std::wstring missing = folder / L"missing.exe";
  DWORD exitCode = 12345;
  for (const wchar_t* path : {static_cast<const wchar_t*>(nullptr), L"", tooLong.c_str(),
                              missing.c_str(), folder.path().c_str()}) {
    EXPECT_FALSE(LaunchProgram(path, nullptr, SW_HIDE, false, true, &exitCode, 1000));
  }
  EXPECT_EQ(exitCode, 12345u);
}

}  // namespace
