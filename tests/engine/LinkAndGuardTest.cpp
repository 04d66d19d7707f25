#include <gtest/gtest.h>

#include <functional>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/FileRemoval.h"
#include "engine/FileRemovalSteps.h"
#include "engine/InstallDirGuard.h"
#include "engine/PendingDeletes.h"
#include "engine/RegistryFileList.h"
#include "engine/RemovalSupport.h"
#include "engine/RootFiles.h"
#include "engine/TempSweep.h"
#include "setupconfig/UninstallRootDirList.h"

namespace {

using lumo::test::LogCapture;
using lumo::test::MakeFile;
using lumo::test::MappedDrive;
using lumo::test::PendingRenames;
using lumo::test::TempFolder;

class NamedList : public CUninstallRootDirList {
 public:
  NamedList() {
    lumo::ScopedComInit com;  // the list is read through the system's XML DOM
    TempFolder folder;
    lumo::test::WriteUtf16File(folder / L"list.xml",
                               L"<?xml version=\"1.0\" encoding=\"utf-16\"?><RootDirFiles><Dir><Item Name=\"plugin\"/>"
                               L"<Item Name=\"Utils\"/></Dir><File><Item Name=\"config.set\"/></File></RootDirFiles>");
    LoadFromFile((folder / L"list.xml").c_str());
  }
};

// Every removal walk meets a junction to a folder outside the installation:
// the junction goes (the sweep leaves it), the folder it points to stays whole.
TEST(Links, RemovalNeverFollowsAJunctionOutOfTheTree) {
  NamedList list;
  const struct {
    const char* name;
    std::function<void(const std::wstring& install, PendingList&)> run;
    bool linksRemoved;
  } operations[] = {
      {"RemoveTree", [](const std::wstring& d, PendingList& p) { RemoveTree(d + L"\\plugin", p); }, true},
      {"DeletePath", [](const std::wstring& d, PendingList& p) { DeletePath(d + L"\\plugin", p); }, true},
      {"PurgeTree", [](const std::wstring& d, PendingList&) { PurgeTree(d + L"\\plugin"); }, true},
      {"DeleteRootFiles",
       [&list](const std::wstring& d, PendingList& p) {
         int total = 0;
         DeleteRootFiles(d, &list, p, total, nullptr);
       },
       true},
      {"SweepTempFiles", [](const std::wstring& d, PendingList&) { SweepTempFiles(d, L".tmp"); }, false},
  };
  for (const auto& operation : operations) {
    TempFolder outside, folder;
    ASSERT_TRUE(MakeFile(outside / L"keep.txt"));
    ASSERT_TRUE(MakeFile(outside / L"sub\\keep.tmp"));
    const std::wstring install = folder / L"Kesto";
    ASSERT_TRUE(MakeFile(install + L"\\plugin\\own.dll"));
    if (!lumo::test::MakeJunction(install + L"\\plugin\\link", outside.path()))
      GTEST_SKIP() << "this system makes no directory junctions";
    ASSERT_TRUE(lumo::test::MakeJunction(install + L"\\Utils", outside.path()));
    ASSERT_TRUE(PathExists(install + L"\\plugin\\link\\keep.txt"));  // the junction leads outside

    PendingList pending;
    operation.run(install, pending);

    EXPECT_TRUE(PathExists(outside / L"keep.txt")) << operation.name;
    EXPECT_TRUE(PathExists(outside / L"sub\\keep.tmp")) << operation.name;
    EXPECT_EQ(PathExists(install + L"\\plugin\\link"), !operation.linksRemoved) << operation.name;
    EXPECT_TRUE(pending.empty()) << operation.name;
  }
}

TEST(InstallDirGuard, RefusesDriveRootsAndTheSystemsOwnFolders) {
  const std::vector<std::wstring> system = SystemProtectedFolders();
  ASSERT_GE(system.size(), 10u);
  for (const std::wstring& path :
       {std::wstring(L""), std::wstring(L"C:\\"), std::wstring(L"c:"), std::wstring(L"D:\\\\"),
        std::wstring(L"\\\\server\\share"), std::wstring(L"\\\\server\\share\\"), system[0] + L"\\System32\\drivers",
        system[0] + L"\\..\\"})
    EXPECT_FALSE(ProtectionReason(path, system).empty()) << path;
  for (const std::wstring& folder : system) {
    EXPECT_FALSE(ProtectionReason(folder, system).empty()) << folder;
    EXPECT_FALSE(ProtectionReason(lumo::ToUpper(folder) + L"\\", system).empty()) << folder;
  }
  TempFolder folder;
  EXPECT_EQ(ProtectionReason(folder / L"Kesto", system), L"");
  EXPECT_EQ(ProtectionReason(L"\\\\server\\share\\Kesto", system), L"");
}

// Stand-ins for system folders inside a test folder: the file steps must
// touch nothing there and say why once.
TEST(InstallDirGuard, FileStepsDoNothingForASystemFolderOrDriveRoot) {
  TempFolder folder;
  MappedDrive mapped(folder / L"drive");
  NamedList list;
  const std::wstring fakeWindows = folder / L"drive\\Windows";
  const std::wstring fakeProgramFiles = folder / L"drive\\Program Files";
  const std::vector<std::wstring> protectedFolders{fakeWindows, fakeProgramFiles};
  std::vector<std::wstring> installDirs{fakeProgramFiles, fakeWindows + L"\\System32", folder / L"drive"};
  if (!mapped.drive().empty()) installDirs.push_back(mapped.drive() + L"\\");

  for (const std::wstring& installDir : installDirs) {
    const std::wstring files[] = {installDir + L"\\plugin\\a.dll", installDir + L"\\config.set",
                                  installDir + L"\\x.tmp", installDir + L"\\deep\\y.TMP",
                                  installDir + L"\\listed.dll"};
    for (const std::wstring& file : files) ASSERT_TRUE(MakeFile(file));
    lumo::test::RegistryValueOverride listed(HKEY_LOCAL_MACHINE, kFileListKey, L"listed.dll", KEY_WOW64_32KEY);
    listed.SetString(L"1");
    LogCapture log;
    PendingRenames renames;
    PendingList pending{installDir + L"\\config.set"};

    CFileRemovalSteps steps(installDir, &list, pending, protectedFolders);
    int total = 0;
    struct : IFileProgress {
      void OnFileAttempted() override {}
    } progress;
    steps.RemoveFilesByRegistry();
    steps.DeleteRootFiles(total, &progress);
    steps.RemoveLegacyLocation();
    steps.SweepTempFiles();
    steps.FinishPendingDeletes();

    for (const std::wstring& file : files) EXPECT_TRUE(PathExists(file)) << file;
    EXPECT_EQ(pending.size(), 1u);
    EXPECT_TRUE(renames.Added().empty());
    EXPECT_EQ(log.Count(L"skip deleting files: the installation directory \"" + installDir + L"\" is " +
                        ProtectionReason(installDir, protectedFolders)),
              1u)
        << log.Text();
  }
}

}  // namespace
