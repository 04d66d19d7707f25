// Runs the real Uninstall.exe (built beside this test) the way a user or the
// product would, in an installation directory made for the test.
#include <windows.h>

#include <set>

#include <gtest/gtest.h>

#include "app/ProductProfile.h"
#include "base/Handles.h"
#include "base/TextUtil.h"
#include "support/Sandbox.h"

namespace {

using lumo::test::ReadFileBytes;
using lumo::test::RegistryValueOverride;
using lumo::test::RemoveTree;
using lumo::test::TempFolder;
using lumo::test::WriteFileBytes;

std::wstring BinDir() { return lumo::DirectoryOf(lumo::ModulePath()); }
std::wstring LogPath() { return lumo::TempDirectory() + L"lumo_uninst.log"; }

DWORD RunAndWait(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
    return 0xDEADBEEF;
  lumo::UniqueHandle processHandle(process.hProcess), thread(process.hThread);
  if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.hProcess, 0xBAD);
    return 0xBAD;
  }
  DWORD code = 0xDEADBEEF;
  ::GetExitCodeProcess(process.hProcess, &code);
  return code;
}

std::set<std::wstring> StagingDirectories() {
  std::set<std::wstring> found;
  WIN32_FIND_DATAW data;
  lumo::UniqueFindHandle find(::FindFirstFileW((lumo::TempDirectory() + L"{*}.tmp").c_str(), &data));
  if (!find) return found;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) found.insert(lumo::TempDirectory() + data.cFileName);
  } while (::FindNextFileW(find.get(), &data));
  return found;
}

// The staged copy runs on its own after the launcher exits; its folder can go
// once that copy has ended and let go of its files.
bool RemoveWhenReleased(const std::wstring& dir) {
  for (int i = 0; i < 300; ++i) {
    RemoveTree(dir);
    if (::GetFileAttributesW(dir.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    ::Sleep(100);
  }
  return false;
}

class EntryPointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::DeleteFileW(LogPath().c_str());
    stagingBefore_ = StagingDirectories();
  }
  void TearDown() override {
    for (const std::wstring& dir : NewStagingDirectories()) {
      EXPECT_TRUE(RemoveWhenReleased(dir));
    }
  }

  void MakeInstallation(bool withMarker) {
    ::CreateDirectoryW((install_ / L"Utils").c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(lumo::JoinPath(BinDir(), L"Uninstall.exe").c_str(),
                            (install_ / L"Uninstall.exe").c_str(), FALSE));
    ASSERT_TRUE(WriteFileBytes(install_ / L"Utils\\7z.dll", "stand-in"));
    if (withMarker) {
      ASSERT_TRUE(WriteFileBytes(install_ / L"Vodureda.dll", "stand-in"));
    }
  }
  std::set<std::wstring> NewStagingDirectories() const {
    std::set<std::wstring> added;
    for (const std::wstring& dir : StagingDirectories())
      if (!stagingBefore_.count(dir)) added.insert(dir);
    return added;
  }

  TempFolder install_;
  RegistryValueOverride installPath_{HKEY_LOCAL_MACHINE, kAppPathsKey, L"path", KEY_WOW64_32KEY};
  std::set<std::wstring> stagingBefore_;
};

TEST_F(EntryPointTest, LauncherStagesACopyLogsItsParentAndExitsWithZero) {
  MakeInstallation(true);
  installPath_.SetString(install_.path());

  EXPECT_EQ(RunAndWait(install_ / L"Uninstall.exe", L"/S"), 0u);

  const std::string log = ReadFileBytes(LogPath());
  EXPECT_EQ(log.rfind("\r\r\n================== Start Log:", 0), 0u) << log;
  const std::wstring parent = lumo::ModulePath();
  EXPECT_NE(log.find("parent process path= " + std::string(parent.begin(), parent.end()) + "\r\n"),
            std::string::npos)
      << log;

  const std::set<std::wstring> staged = NewStagingDirectories();
  ASSERT_EQ(staged.size(), 1u);
  const std::wstring dir = *staged.begin();
  for (const wchar_t* file : {L"Uninstall.exe", L"Vodureda.dll", L"7z.dll"}) {
    EXPECT_TRUE(lumo::FileExists(lumo::JoinPath(dir, file)));
  }
  EXPECT_TRUE(lumo::DirectoryExists(lumo::JoinPath(dir, L"Utils")));
}

TEST_F(EntryPointTest, LauncherRepairsAMissingInstallPathFromItsOwnFolder) {
  MakeInstallation(true);
  installPath_.Delete();

  EXPECT_EQ(RunAndWait(install_ / L"Uninstall.exe", L"/S"), 0u);

  std::wstring written;
  ASSERT_TRUE(ReadInstallDir(written));
  EXPECT_EQ(written, install_.path());
  EXPECT_EQ(NewStagingDirectories().size(), 1u);
}

TEST_F(EntryPointTest, LauncherWithoutInstallationStagesNothing) {
  MakeInstallation(false);
  installPath_.Delete();

  EXPECT_EQ(RunAndWait(install_ / L"Uninstall.exe", L"/S"), 0u);
  EXPECT_TRUE(NewStagingDirectories().empty());
}

TEST_F(EntryPointTest, WorkingInstanceWithoutInstallationExitsWithZero) {
  installPath_.Delete();
  EXPECT_EQ(RunAndWait(lumo::JoinPath(BinDir(), L"Uninstall.exe"), L"/S  /READYUNINSTALL"), 0u);
  EXPECT_TRUE(NewStagingDirectories().empty());
}

}  // namespace
