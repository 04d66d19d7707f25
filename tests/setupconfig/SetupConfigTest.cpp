#include "setupconfig/SetupConfig.h"

#include <objbase.h>

#include <set>

#include <gtest/gtest.h>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "setupconfig/ArchiveClient.h"
#include "setupconfig/ResourceUnpack.h"
#include "support/Sandbox.h"

namespace {

using lumo::test::ReadFileBytes;
using lumo::test::TempFolder;
using lumo::test::WriteUtf16File;

std::wstring BinDir() { return lumo::DirectoryOf(lumo::ModulePath()); }
bool Is64() { return true; }
bool Is32() { return false; }

class ShippedPackage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(CArchiveLibrary::Instance().Load(lumo::JoinPath(BinDir(), L"7z.dll"))); }
  void SetUp() override {
    ASSERT_TRUE(com_.succeeded());
    program_.reset(::LoadLibraryExW(lumo::JoinPath(BinDir(), L"Uninstall.exe").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(program_);
  }
  lumo::ScopedComInit com_;
  lumo::UniqueModule program_;
};

TEST_F(ShippedPackage, HoldsExactlyTheTwoUtf16Files) {
  CResourceUnpack resource;
  ASSERT_TRUE(resource.Init(program_.get(), MAKEINTRESOURCEW(209), L"SETUPCONFIG"));
  ASSERT_GT(resource.Size(), 6u);
  EXPECT_EQ(std::string(static_cast<const char*>(resource.Data()), 6), std::string("7z\xBC\xAF\x27\x1C", 6));
  std::wstring dir;
  ASSERT_TRUE(resource.ExtractToTempDir(dir));
  std::set<std::wstring> names;
  WIN32_FIND_DATAW data;
  lumo::UniqueFindHandle find(::FindFirstFileW(lumo::JoinPath(dir, L"*").c_str(), &data));
  ASSERT_TRUE(find);
  do {
    if (std::wstring(data.cFileName) != L"." && std::wstring(data.cFileName) != L"..") names.insert(data.cFileName);
  } while (::FindNextFileW(find.get(), &data));
  find.reset();
  EXPECT_EQ(names, (std::set<std::wstring>{L"lumo.brixprj", L"UninstallRootDirFileList.xml"}));
  for (const std::wstring& name : names) {
    const std::string bytes = ReadFileBytes(lumo::JoinPath(dir, name));
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << name.c_str();
    EXPECT_EQ(bytes.substr(2, 10), std::string("<\0?\0x\0m\0l\0", 10));
  }
  RemoveDirectoryTree(dir);
}

TEST_F(ShippedPackage, LoadsTheShippedValuesAndCleansUp) {
  std::wstring extracted;
  {
    CSetupConfig config(&Is64);
    ASSERT_EQ(config.LoadFromResource(program_.get(), 209, L"SETUPCONFIG", L"lumo.brixprj"), 1);
    extracted = config.ExtractionDirectory();
    EXPECT_TRUE(lumo::DirectoryExists(extracted));
    EXPECT_EQ(lumo::DirectoryOf(extracted) + L"\\", lumo::TempDirectory());

    wchar_t text[300];
    EXPECT_TRUE(config.GetVersion(text, 300));
    EXPECT_STREQ(text, L"1.2.1.8888");
    EXPECT_EQ(config.GetMinimizeSpace(), 200);
    EXPECT_EQ(config.GetFileCount(), 200);
    EXPECT_TRUE(config.GetMainApp(text, 300));
    EXPECT_STREQ(text, L"kestowp.exe");
    EXPECT_EQ(config.GetRegRootKey(), HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(config.GetRegSubKey(text, 300));
    EXPECT_STREQ(text, L"SOFTWARE\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\kestowp.exe");
    EXPECT_TRUE(config.GetRegValueName(text, 300));
    EXPECT_STREQ(text, L"Path");
    EXPECT_FALSE(config.GetRegValueName(text, 4));  // "Path" needs 5 with its terminator
    EXPECT_STREQ(text, L"");

    ASSERT_EQ(config.GetCloseProgramCount(), 2);
    const wchar_t* classes[] = {L"ZetaWallpaperMsgWndClass", L"ZetaWallPaperCtrlCls"};
    for (int i = 0; i < 2; ++i) {
      CloseProgramRecord record;
      ASSERT_TRUE(config.GetCloseProgram(i, &record));
      EXPECT_STREQ(record.windowClass, classes[i]);
      EXPECT_EQ(record.message, static_cast<UINT>(WM_COMMAND));
      EXPECT_EQ(record.wParam, 40011u);
      EXPECT_EQ(record.lParam, 102u);
      EXPECT_EQ(record.timeoutMs, 2000u);
    }
    CloseProgramRecord none;
    EXPECT_FALSE(config.GetCloseProgram(2, &none));
    EXPECT_STREQ(none.windowClass, L"");

    ASSERT_EQ(config.GetUninstProgramCount(), 1);
    ProgramRecord hook;
    ASSERT_TRUE(config.GetUninstProgram(0, &hook));
    EXPECT_STREQ(hook.fileName, L"lpi\\KsSvc.dll");
    EXPECT_STREQ(hook.type, L"dll");
    EXPECT_STREQ(hook.funcName, L"DS");
    EXPECT_EQ(hook.sync, 1);
    EXPECT_EQ(hook.waitTime, 0);
    EXPECT_EQ(config.GetInstProgramCount(), 0);
    EXPECT_EQ(config.GetCheckFileCount(), 0);
    EXPECT_FALSE(config.GetCheckFile(0, text, 300));

    ASSERT_EQ(config.RundllItems().size(), 1u);
    EXPECT_STREQ(config.RundllItems()[0].fileName, L"Utils\\BrixShellExt64.dll");
    EXPECT_STREQ(config.RundllItems()[0].entry, L"ShellOpen_Harbel32W");
    EXPECT_STREQ(config.RundllItems()[0].cmdline, L"--verb=UnInstall");
    EXPECT_EQ(config.RundllItems()[0].waitTime, 5000);

    IUninstallRootDirList* list = config.GetRootDirList();
    EXPECT_EQ(list->GetCount(), 52);
    int directories = 0;
    for (int i = 0; i < list->GetCount(); ++i) {
      UninstallRootDirEntry entry;
      ASSERT_TRUE(list->GetEntry(i, &entry));
      directories += entry.isDirectory;
    }
    EXPECT_EQ(directories, 14);
    for (const wchar_t* name : {L"Utils", L"utils", L"UTILS", L"uTiLs", L"vodureda.dll", L"KsDrv_x64.sys"}) {
      EXPECT_TRUE(list->Contains(name));
    }
    EXPECT_FALSE(list->Contains(L"kestowp.exe"));
    EXPECT_FALSE(list->Contains(nullptr));
  }
  EXPECT_FALSE(lumo::DirectoryExists(extracted));
}

TEST_F(ShippedPackage, ThirtyTwoBitSystemGetsTheOtherRundllItem) {
  CSetupConfig config(&Is32);
  ASSERT_EQ(config.LoadFromResource(program_.get(), 209, L"SETUPCONFIG", L"lumo.brixprj"), 1);
  ASSERT_EQ(config.RundllItems().size(), 1u);
  EXPECT_STREQ(config.RundllItems()[0].fileName, L"Utils\\BrixShellExt.dll");
}

TEST_F(ShippedPackage, MissingResourceOrLibraryFails) {
  CSetupConfig config;
  EXPECT_EQ(config.LoadFromResource(program_.get(), 210, L"SETUPCONFIG", L"lumo.brixprj"), 0);
  EXPECT_EQ(config.LoadFromResource(program_.get(), 209, L"SETUPCONFIG", L"other.brixprj"), 0);
}

// Projects written by the test beside a small root-directory list.
class ProjectVariants : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(com_.succeeded());
    ASSERT_TRUE(WriteUtf16File(folder_ / L"list.xml",
                               L"<?xml version=\"1.0\" encoding=\"utf-16\"?><RootDirFiles><Dir><Item Name=\"A\"/>"
                               L"</Dir><File><Item Name=\"b.dll\"/></File></RootDirFiles>"));
  }
  bool Load(CSetupConfig& config, const std::wstring& body, bool withMain = true) {
    std::wstring xml = L"<?xml version=\"1.0\" encoding=\"utf-16\"?><Setup>";
    if (withMain) xml += L"<Main Version=\"9\"/><UninstallRootDirFileList File=\"list.xml\"/>";
    xml += body + L"</Setup>";
    EXPECT_TRUE(WriteUtf16File(folder_ / L"p.brixprj", xml));
    return config.LoadProject(folder_ / L"p.brixprj");
  }
  lumo::ScopedComInit com_;
  TempFolder folder_;
};

TEST_F(ProjectVariants, MessagesAndRootKeysMapThroughTheirTables) {
  CSetupConfig config;
  ASSERT_TRUE(Load(config, L"<RegAppPath HKEY=\"hkey_current_user\" SubKey=\"S\" Value=\"V\"/><CloseAllPrograms>"
                           L"<Program WindowClass=\"a\" Message=\"wm_command\"/>"
                           L"<Program WindowClass=\"b\" Message=\"WM_QUIT\" WPARAM=\"0x10\" Timeout=\"5\"/>"
                           L"<Program WindowClass=\"c\"/></CloseAllPrograms>"));
  EXPECT_EQ(config.GetRegRootKey(), HKEY_CURRENT_USER);
  CloseProgramRecord a, b, c;
  ASSERT_TRUE(config.GetCloseProgram(0, &a));
  ASSERT_TRUE(config.GetCloseProgram(1, &b));
  ASSERT_TRUE(config.GetCloseProgram(2, &c));
  EXPECT_EQ(a.message, static_cast<UINT>(WM_CLOSE));  // names are case-sensitive
  EXPECT_EQ(b.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(b.wParam, 16u);
  EXPECT_EQ(b.lParam, 0x168u);
  EXPECT_EQ(b.timeoutMs, 5u);
  EXPECT_EQ(c.message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(c.wParam, 0x168u);
  EXPECT_EQ(c.timeoutMs, 2000u);

  CSetupConfig shortName;
  ASSERT_TRUE(Load(shortName, L"<RegAppPath HKEY=\"HKLM\"/>"));
  EXPECT_EQ(shortName.GetRegRootKey(), HKEY_LOCAL_MACHINE);
  CSetupConfig users;
  ASSERT_TRUE(Load(users, L"<RegAppPath HKEY=\"HKEY_USERS\"/>"));
  EXPECT_EQ(users.GetRegRootKey(), HKEY_USERS);
}

TEST_F(ProjectVariants, OverlongTextsDropTheirItem) {
  const std::wstring class195(195, L'c'), class196(196, L'd'), text259(259, L't'), text260(260, L'u');
  CSetupConfig config(&Is64);
  ASSERT_TRUE(Load(config,
                   L"<CloseAllPrograms><Program WindowClass=\"" + class195 + L"\"/><Program WindowClass=\"" +
                       class196 + L"\"/></CloseAllPrograms><CallProgramOnUninst><Program FileName=\"" + text259 +
                       L"\" Type=\"exe\"/><Program FileName=\"x\" SignType=\"" + text260 +
                       L"\"/><Program FileName=\"y\" Sync=\"0\" WaitTime=\"300\"/></CallProgramOnUninst>"
                       L"<RundllUnRegisterOnUnInst><Item System=\"64\" FileName=\"ok.dll\"/>"
                       L"<Item System=\"64\" Entry=\"" + text260 + L"\"/><Item System=\"\" FileName=\"e\"/>"
                       L"<Item System=\"86\" FileName=\"f\"/><Item FileName=\"g\"/></RundllUnRegisterOnUnInst>"));
  ASSERT_EQ(config.GetCloseProgramCount(), 1);
  CloseProgramRecord kept;
  ASSERT_TRUE(config.GetCloseProgram(0, &kept));
  EXPECT_EQ(std::wstring(kept.windowClass), class195);

  ASSERT_EQ(config.GetUninstProgramCount(), 2);
  ProgramRecord first, second;
  ASSERT_TRUE(config.GetUninstProgram(0, &first));
  ASSERT_TRUE(config.GetUninstProgram(1, &second));
  EXPECT_EQ(std::wstring(first.fileName), text259);
  EXPECT_EQ(first.sync, 1);
  EXPECT_EQ(first.waitTime, 0);
  EXPECT_STREQ(second.fileName, L"y");
  EXPECT_EQ(second.sync, 0);
  EXPECT_EQ(second.waitTime, 300);

  ASSERT_EQ(config.RundllItems().size(), 1u);
  EXPECT_STREQ(config.RundllItems()[0].fileName, L"ok.dll");
}

TEST_F(ProjectVariants, ListFileAndMainSectionAreRequired) {
  CSetupConfig noMain;
  EXPECT_FALSE(Load(noMain, L"<UninstallRootDirFileList File=\"list.xml\"/>", false));
  CSetupConfig missingList;
  EXPECT_FALSE(Load(missingList, L"", false));
  CSetupConfig wrongList;
  EXPECT_FALSE(Load(wrongList, L"<Main/><UninstallRootDirFileList File=\"nope.xml\"/>", false));

  CSetupConfig minimal;
  ASSERT_TRUE(Load(minimal, L""));  // no close list, no hooks: still fine
  EXPECT_EQ(minimal.GetCloseProgramCount(), 0);
  EXPECT_EQ(minimal.GetUninstProgramCount(), 0);
  EXPECT_EQ(minimal.GetMinimizeSpace(), 100);
  EXPECT_EQ(minimal.GetFileCount(), 200);
  EXPECT_TRUE(minimal.GetRootDirList()->Contains(L"a"));
  EXPECT_TRUE(minimal.GetRootDirList()->Contains(L"B.DLL"));

  CSetupConfig malformed;
  ASSERT_TRUE(WriteUtf16File(folder_ / L"bad.brixprj", L"<Setup><Main></Setup>"));
  EXPECT_FALSE(malformed.LoadProject(folder_ / L"bad.brixprj"));
}

class RootDirListTest : public ProjectVariants {};

TEST_F(RootDirListTest, KeysAreLowerCaseAndTheFileSectionWins) {
  ASSERT_TRUE(WriteUtf16File(folder_ / L"list.xml",
                             L"<?xml version=\"1.0\" encoding=\"utf-16\"?><RootDirFiles>"
                             L"<Dir><Item Name=\"Zeta\"/><Item Name=\"both\" optional=\"0x2\"/><Item/></Dir>"
                             L"<File><Group><Item Name=\"Both\"/></Group><Item Name=\"alpha.dll\"/></File>"
                             L"<File><Item Name=\"ignored.dll\"/></File></RootDirFiles>"));
  CUninstallRootDirList list;
  ASSERT_TRUE(list.LoadFromFile((folder_ / L"list.xml").c_str()));
  ASSERT_EQ(list.GetCount(), 4);
  const wchar_t* expectedOrder[] = {L"", L"alpha.dll", L"Both", L"Zeta"};
  for (int i = 0; i < 4; ++i) {
    UninstallRootDirEntry entry;
    ASSERT_TRUE(list.GetEntry(i, &entry));
    EXPECT_STREQ(entry.name, expectedOrder[i]);
    if (i == 2) {
      EXPECT_EQ(entry.isDirectory, 0);
      EXPECT_EQ(entry.optional, 0);
    }
  }
  EXPECT_TRUE(list.Contains(L""));  // the item without a name
  EXPECT_FALSE(list.Contains(L"ignored.dll"));
  UninstallRootDirEntry entry;
  EXPECT_FALSE(list.GetEntry(4, &entry));
  EXPECT_FALSE(list.GetEntry(0, nullptr));

  EXPECT_TRUE(list.Remove(L"ZETA"));
  EXPECT_FALSE(list.Contains(L"zeta"));
  EXPECT_TRUE(list.Remove(L"not there"));
  EXPECT_FALSE(list.Remove(nullptr));

  // A list that does not open leaves the entries as they were.
  EXPECT_FALSE(list.LoadFromFile((folder_ / L"missing.xml").c_str()));
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_FALSE(list.LoadFromFile(nullptr));
}

}  // namespace
