#include <gtest/gtest.h>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/FileRemoval.h"
#include "engine/FileRemovalSteps.h"
#include "engine/LegacyLocation.h"
#include "engine/PendingDeletes.h"
#include "engine/RegistryFileList.h"
#include "engine/RemovalSupport.h"
#include "engine/RootFiles.h"
#include "engine/TempSweep.h"
#include "setupconfig/UninstallRootDirList.h"

namespace {

using lumo::test::HeldFile;
using lumo::test::LogCapture;
using lumo::test::MakeFile;
using lumo::test::PendingRenames;
using lumo::test::TempFolder;

// A root-directory list of a few shipped names, read from its XML form.
class RootList {
 public:
  RootList() {
    lumo::ScopedComInit com;  // the list is read through the system's XML DOM
    const std::wstring xml = folder_ / L"UninstallRootDirFileList.xml";
    lumo::test::WriteUtf16File(
        xml, L"<?xml version=\"1.0\" encoding=\"utf-16\"?><RootDirFiles><Dir><Item Name=\"plugin\"/>"
             L"<Item Name=\"Utils\"/></Dir><File><Item Name=\"VoduReda.dll\"/><Item Name=\"config.set\"/>"
             L"</File></RootDirFiles>");
    loaded_ = list_.LoadFromFile(xml.c_str());
  }
  IUninstallRootDirList* get() { return loaded_ ? &list_ : nullptr; }

 private:
  TempFolder folder_;
  CUninstallRootDirList list_;
  bool loaded_ = false;
};

struct CountingProgress : IFileProgress {
  int calls = 0;
  void OnFileAttempted() override { ++calls; }
};

bool Copy(const std::wstring& from, const std::wstring& to) { return ::CopyFileW(from.c_str(), to.c_str(), FALSE); }

TEST(DeleteRootFiles, DeletesListedAndSignedEntriesAndLeavesForeignOnes) {
  TempFolder folder;
  RootList list;
  ASSERT_NE(list.get(), nullptr);
  LogCapture log;
  const std::wstring dir = folder / L"Kesto";
  for (const wchar_t* name : {L"plugin\\a.dll", L"plugin\\sub\\b.dat", L"UTILS\\c.exe", L"vodureda.DLL",
                              L"config.set", L"foreign.txt", L"ForeignDir\\keep.dat"})
    ASSERT_TRUE(MakeFile(lumo::JoinPath(dir, name)));
  ASSERT_TRUE(Copy(lumo::test::SigningFixture(L"tiny_library_accepted.dll"), dir + L"\\signed.dll"));
  ASSERT_TRUE(Copy(lumo::test::SigningFixture(L"tiny_program_unsigned.exe"), dir + L"\\unsigned.exe"));

  PendingList pending;
  CountingProgress progress;
  int total = -1;
  DeleteRootFiles(dir, list.get(), pending, total, &progress);

  EXPECT_EQ(total, 6);  // a.dll, b.dat, c.exe, vodureda.DLL, config.set, signed.dll
  EXPECT_EQ(progress.calls, 6);
  EXPECT_TRUE(pending.empty());
  for (const wchar_t* gone : {L"plugin", L"UTILS", L"vodureda.DLL", L"config.set", L"signed.dll"})
    EXPECT_FALSE(PathExists(lumo::JoinPath(dir, gone))) << gone;
  for (const wchar_t* kept : {L"foreign.txt", L"ForeignDir\\keep.dat", L"unsigned.exe"}) {
    EXPECT_TRUE(PathExists(lumo::JoinPath(dir, kept))) << kept;
  }
  for (const wchar_t* foreign : {L"foreign.txt", L"ForeignDir", L"unsigned.exe"})
    EXPECT_EQ(log.Count(std::wstring(L"File NOT exists in xml: ") + foreign), 2u) << foreign;
  EXPECT_EQ(log.Count(L"Delete File: " + dir + L"\\config.set"), 1u);
  EXPECT_EQ(log.Count(L"remove directory " + dir + L" failed."), 1u);
}

TEST(DeleteRootFiles, RemovesTheEmptiedDirectory) {
  TempFolder folder;
  RootList list;
  LogCapture log;
  const std::wstring dir = folder / L"Kesto";
  ASSERT_TRUE(MakeFile(dir + L"\\plugin\\a.dll"));
  PendingList pending;
  int total = 0;
  DeleteRootFiles(dir, list.get(), pending, total, nullptr);
  EXPECT_FALSE(PathExists(dir));
  EXPECT_EQ(log.Count(L"remove directory " + dir + L" suceess"), 1u);
}

// Paths are built from the stored text, so only a trailing "\\" makes them differ.
TEST(CountRootFiles, AStoredDirectoryWithATrailingBackslashCountsForeignFilesToo) {
  TempFolder folder;
  RootList list;
  const std::wstring dir = folder / L"Kesto";
  for (const wchar_t* name : {L"plugin\\a.dll", L"config.set", L"foreign.txt", L"ForeignDir\\x.dat"})
    ASSERT_TRUE(MakeFile(lumo::JoinPath(dir, name)));
  const struct {
    std::wstring stored;
    int count;
  } cases[] = {{dir, 2}, {dir + L"\\", 4}, {lumo::ToUpper(dir), 2}};
  for (const auto& c : cases) {
    int counter = 0;
    EXPECT_EQ(CountRootFiles(c.stored, c.stored, list.get(), counter), 1);
    EXPECT_EQ(counter, c.count) << c.stored;
  }
  int counter = 0;
  EXPECT_EQ(CountRootFiles(L"", dir, list.get(), counter), 0);
}

TEST(RemoveRegistryFileList, DeletesListedPathsInsideTheInstallationOnly) {
  TempFolder folder;
  const std::wstring dir = folder / L"Kesto";
  for (const wchar_t* name : {L"listed.dll", L"bin\\x64\\listed.dll", L"tree\\a\\b.txt", L"tree\\c.txt"})
    ASSERT_TRUE(MakeFile(lumo::JoinPath(dir, name)));
  ASSERT_TRUE(MakeFile(folder / L"outside.txt"));
  const std::wstring locked = dir + L"\\inuse.dll";
  HeldFile held(locked);
  ASSERT_TRUE(held.holding());

  std::vector<std::unique_ptr<lumo::test::RegistryValueOverride>> values;
  for (const wchar_t* name : {L"listed.dll", L"bin\\x64\\listed.dll", L"tree", L"inuse.dll", L"missing.dll",
                              L"..\\outside.txt", L""}) {
    values.push_back(std::make_unique<lumo::test::RegistryValueOverride>(HKEY_LOCAL_MACHINE, kFileListKey, name,
                                                                         KEY_WOW64_32KEY));
    values.back()->SetString(L"1");
  }
  PendingList pending;
  RemoveRegistryFileList(dir, kFileListKey, pending);

  for (const wchar_t* gone : {L"listed.dll", L"bin\\x64\\listed.dll", L"tree"})
    EXPECT_FALSE(PathExists(lumo::JoinPath(dir, gone))) << gone;
  EXPECT_TRUE(PathExists(folder / L"outside.txt"));
  EXPECT_TRUE(PathExists(dir + L"\\bin\\x64"));  // only what is named goes
  EXPECT_EQ(pending, PendingList{locked});
}

TEST(SweepTempFiles, DeletesTmpFilesAtAnyDepthInAnyCaseAndSchedulesOnesInUse) {
  TempFolder folder;
  LogCapture log;
  PendingRenames renames;
  const std::wstring dir = folder / L"Kesto";
  for (const wchar_t* name : {L"a.tmp", L"log\\b.TMP", L"log\\deep\\c.Tmp", L"keep.tmpx", L"tmp", L"dir.tmp\\d.txt"})
    ASSERT_TRUE(MakeFile(lumo::JoinPath(dir, name)));
  const std::wstring locked = dir + L"\\log\\deep\\LOCKED.TMP";
  HeldFile held(locked);
  ASSERT_TRUE(held.holding());

  SweepTempFiles(dir, L".tmp");
  for (const wchar_t* gone : {L"a.tmp", L"log\\b.TMP", L"log\\deep\\c.Tmp"})
    EXPECT_FALSE(PathExists(lumo::JoinPath(dir, gone))) << gone;
  for (const wchar_t* kept : {L"keep.tmpx", L"tmp", L"dir.tmp\\d.txt"})
    EXPECT_TRUE(PathExists(lumo::JoinPath(dir, kept))) << kept;
  // Renaming a file held without sharing fails too, so its own path is scheduled.
  ASSERT_EQ(renames.Added().size(), 1u);
  EXPECT_TRUE(lumo::test::EqualsNoCase(renames.Added()[0], locked));
  EXPECT_EQ(log.Count(L"delete file:" + locked + L" by pending:" + locked), 1u);
}

TEST(RemoveLegacyLocation, DeletesTheOldUninstallerAndItsEmptyFolders) {
  TempFolder programFiles;
  ASSERT_TRUE(MakeFile(programFiles / L"Zeta\\Zetalumo\\Uninstall.exe"));
  RemoveLegacyLocation(programFiles.path());
  EXPECT_FALSE(PathExists(programFiles / L"Zeta"));

  ASSERT_TRUE(MakeFile(programFiles / L"Zeta\\Zetalumo\\Uninstall.exe"));
  ASSERT_TRUE(MakeFile(programFiles / L"Zeta\\Other\\keep.dll"));
  RemoveLegacyLocation(programFiles.path());
  EXPECT_FALSE(PathExists(programFiles / L"Zeta\\Zetalumo"));
  EXPECT_TRUE(PathExists(programFiles / L"Zeta\\Other\\keep.dll"));
}

}  // namespace
