// Runs the real Uninstall.exe (built beside this test) the way a user or the
// product would, in an installation directory made for the test.
#include <windows.h>
#include <tlhelp32.h>

#include <set>

#include <gtest/gtest.h>

#include "app/ProductProfile.h"
#include "app/StartupChecks.h"
#include "net/TextCipher.h"
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

// Waits for every process whose program lies in dir to end.
void WaitForProgramsIn(const std::wstring& dir) {
  const std::wstring prefix = lumo::ToUpper(dir + L"\\");
  lumo::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    lumo::UniqueHandle process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process) continue;
    wchar_t image[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (::QueryFullProcessImageNameW(process.get(), 0, image, &size) &&
        lumo::ToUpper(image).rfind(prefix, 0) == 0) {
      ::WaitForSingleObject(process.get(), 60000);
    }
  }
}

// The staged copy runs on its own after the launcher exits; its folder can go
// once that copy has ended and let go of its files.
bool RemoveWhenReleased(const std::wstring& dir) {
  WaitForProgramsIn(dir);
  for (int i = 0; i < 300; ++i) {
    RemoveTree(dir);
    if (::GetFileAttributesW(dir.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    ::Sleep(100);
  }
  return false;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

bool PendingRenamesMention(const std::wstring& path) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_QUERY_VALUE,
                      key.put()) != ERROR_SUCCESS)
    return false;
  DWORD bytes = 0;
  if (::RegQueryValueExW(key.get(), L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
    return false;
  std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
  ::RegQueryValueExW(key.get(), L"PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]),
                     &bytes);
  return lumo::ToUpper(data).find(lumo::ToUpper(path)) != std::wstring::npos;
}

// Each case runs the real program against an installation made for it. The
// test executable is signed by the build, so it counts as a trusted parent.
class EntryPointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::DeleteFileW(LogPath().c_str());
    stagingBefore_ = StagingDirectories();
    channel_.SetString(L" VeViVuDa ");
  }
  void TearDown() override {
    // The staged copy runs on after its launcher; its folder goes once it ended.
    for (const std::wstring& dir : NewStagingDirectories()) {
      EXPECT_TRUE(RemoveWhenReleased(dir));
    }
  }

  void MakeInstallation(bool withMarker) {
    ::CreateDirectoryW((install_ / L"Utils").c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(lumo::JoinPath(BinDir(), L"Uninstall.exe").c_str(),
                            (install_ / L"Uninstall.exe").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(lumo::JoinPath(BinDir(), L"7z.dll").c_str(), (install_ / L"Utils\\7z.dll").c_str(),
                            FALSE));
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
  // Waits until the staged working instance has ended and returns the log.
  std::string LogAfterStagedRun() {
    for (const std::wstring& dir : NewStagingDirectories()) {
      EXPECT_TRUE(RemoveWhenReleased(dir));
    }
    return ReadFileBytes(LogPath());
  }

  TempFolder install_;
  RegistryValueOverride installPath_{HKEY_LOCAL_MACHINE, kAppPathsKey, L"path", KEY_WOW64_32KEY};
  RegistryValueOverride channel_{HKEY_CURRENT_USER, L"Software\\KestoWallPaper", L"pid", 0};
  // The staged copy schedules what it cannot delete for the next restart.
  RegistryValueOverride pendingRenames_{HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                                        L"PendingFileRenameOperations", 0};
  std::set<std::wstring> stagingBefore_;
};

TEST_F(EntryPointTest, SilentLauncherStagesACopyThatPassesTheHandshake) {
  MakeInstallation(true);
  installPath_.SetString(install_.path());

  EXPECT_EQ(RunAndWait(install_ / L"Uninstall.exe", L"/S"), 0u);
  const std::set<std::wstring> staged = NewStagingDirectories();
  ASSERT_EQ(staged.size(), 1u);
  const std::wstring dir = *staged.begin();
  for (const wchar_t* file : {L"Uninstall.exe", L"Vodureda.dll", L"7z.dll"}) {
    EXPECT_TRUE(lumo::FileExists(lumo::JoinPath(dir, file)));
  }
  EXPECT_TRUE(lumo::DirectoryExists(lumo::JoinPath(dir, L"Utils")));

  WaitForProgramsIn(dir);
  // The copy removed its own folder; only what it was running stays, for the restart.
  EXPECT_FALSE(lumo::FileExists(lumo::JoinPath(dir, L"Vodureda.dll")));
  EXPECT_TRUE(PendingRenamesMention(lumo::JoinPath(dir, L"Uninstall.exe")));

  const std::string log = LogAfterStagedRun();
  EXPECT_EQ(log.rfind("\r\r\n================== Start Log:", 0), 0u) << log;
  EXPECT_NE(log.find("parent process path= " + Narrow(lumo::ModulePath()) + "\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("illegal call"), std::string::npos) << log;        // the copy accepted its token
  EXPECT_EQ(log.find("pre init check failed"), std::string::npos) << log;
  EXPECT_EQ(log.find("init config failed"), std::string::npos) << log;  // the embedded project loaded
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

TEST_F(EntryPointTest, SilentLauncherNeedsTheChannelAndTheMarkerLibrary) {
  MakeInstallation(false);
  installPath_.Delete();
  EXPECT_EQ(RunAndWait(install_ / L"Uninstall.exe", L"/S"), 0u);
  EXPECT_TRUE(NewStagingDirectories().empty());
  EXPECT_NE(ReadFileBytes(LogPath()).find("illegal call\r\n"), std::string::npos);

  ::DeleteFileW(LogPath().c_str());
  ASSERT_TRUE(WriteFileBytes(install_ / L"Vodureda.dll", "stand-in"));
  channel_.SetString(L"another");
  EXPECT_EQ(RunAndWait(install_ / L"Uninstall.exe", L"/S"), 0u);
  EXPECT_TRUE(NewStagingDirectories().empty());
  EXPECT_NE(ReadFileBytes(LogPath()).find("illegal call\r\n"), std::string::npos);
}

TEST_F(EntryPointTest, SilentLauncherFromAnUnsignedParentIsRefused) {
  MakeInstallation(true);
  installPath_.SetString(install_.path());
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring cmd = lumo::JoinPath(system, L"cmd.exe");
  EXPECT_EQ(RunAndWait(cmd, L"/c \"\"" + (install_ / L"Uninstall.exe") + L"\" /S\""), 0u);
  EXPECT_TRUE(NewStagingDirectories().empty());
  const std::string log = ReadFileBytes(LogPath());
  EXPECT_NE(log.find("parent process = "), std::string::npos) << log;
  EXPECT_NE(log.find("cmd.exe\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("illegal call\r\n"), std::string::npos) << log;
}

struct TokenCase {
  const char* name;
  const wchar_t* channel;
  int token;  // 0 none, 1 empty, 2 this machine's, 3 another key's
  bool authorised;
};

class WorkingInstanceTokens : public EntryPointTest, public ::testing::WithParamInterface<TokenCase> {};

TEST_P(WorkingInstanceTokens, DecideTheSilentRun) {
  installPath_.SetString(install_.path());
  channel_.SetString(GetParam().channel);
  std::wstring arguments = L"/S  /READYUNINSTALL";
  if (GetParam().token == 1) arguments += L"  /CHK=";
  if (GetParam().token == 2) arguments += L"  /CHK=" + MakeCallToken();
  if (GetParam().token == 3) arguments += L"  /CHK=" + lumo::EncryptText(L"quandry", L"another machine");

  EXPECT_EQ(RunAndWait(lumo::JoinPath(BinDir(), L"Uninstall.exe"), arguments), 0u);
  const bool refused = ReadFileBytes(LogPath()).find("illegal call\r\n") != std::string::npos;
  EXPECT_EQ(refused, !GetParam().authorised);
}

INSTANTIATE_TEST_SUITE_P(Table, WorkingInstanceTokens,
                         ::testing::Values(TokenCase{"valid", L" VeViVuDa ", 2, true},
                                           TokenCase{"no_token", L"vevivuda", 0, false},
                                           TokenCase{"empty_token", L"vevivuda", 1, false},
                                           TokenCase{"other_machine", L"vevivuda", 3, false},
                                           TokenCase{"other_channel", L"kesto01", 2, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryPointTest, SecondInstanceReportsTheRunningOne) {
  installPath_.SetString(install_.path());
  HANDLE held = ::CreateMutexW(nullptr, TRUE, CInstanceMutex::kMutexName);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(RunAndWait(lumo::JoinPath(BinDir(), L"Uninstall.exe"), L"/S  /READYUNINSTALL  /CHK=" + MakeCallToken()),
            0u);
  ::CloseHandle(held);
  EXPECT_NE(ReadFileBytes(LogPath()).find("CheckSingleInstance failed, exit\r\n"), std::string::npos);
}

struct PreInitCase {
  const wchar_t* program;  // copied into a folder of its own
  bool withArchiveLibrary;
  const char* expectedLine;
};

class PreInitCodes : public EntryPointTest, public ::testing::WithParamInterface<PreInitCase> {};

TEST_P(PreInitCodes, AreLoggedByTheWorkingInstance) {
  installPath_.SetString(install_.path());
  TempFolder staging;
  ASSERT_TRUE(::CopyFileW(lumo::JoinPath(BinDir(), GetParam().program).c_str(), (staging / L"Uninstall.exe").c_str(),
                          FALSE));
  if (GetParam().withArchiveLibrary) {
    ASSERT_TRUE(::CopyFileW(lumo::JoinPath(BinDir(), L"7z.dll").c_str(), (staging / L"7z.dll").c_str(), FALSE));
  }
  EXPECT_EQ(RunAndWait(staging / L"Uninstall.exe", L"/S  /READYUNINSTALL  /CHK=" + MakeCallToken()), 0u);
  EXPECT_NE(ReadFileBytes(LogPath()).find(GetParam().expectedLine), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Table, PreInitCodes,
                         ::testing::Values(PreInitCase{L"fixtures\\Uninstall_unsigned.exe", true,
                                                       "pre init check failed, ret = 2\r\n"},
                                           PreInitCase{L"Uninstall.exe", false, "pre init check failed, ret = 3\r\n"}));

TEST(PreInitMessages, CoverTheKnownCodes) {
  EXPECT_STREQ(PreInitMessage(0), L"");
  EXPECT_STREQ(PreInitMessage(1), L"VoduReda.dll文件初始化失败");
  EXPECT_STREQ(PreInitMessage(2), L"卸载程序已被破坏，请重新下载安装后再进行卸载");
  EXPECT_STREQ(PreInitMessage(3), L"7z.dll文件破坏，请重新下载安装后进行卸载");
  EXPECT_STREQ(PreInitMessage(4), L"");
  EXPECT_STREQ(PreInitMessage(-1), L"");
}

}  // namespace
