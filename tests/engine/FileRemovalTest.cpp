#include "engine/FileRemoval.h"

#include <gtest/gtest.h>

#include <regex>

#include "base/TextUtil.h"
#include "engine/HidingFolder.h"
#include "engine/RemovalSupport.h"

namespace {

using lumo::test::EqualsNoCase;
using lumo::test::HeldFile;
using lumo::test::LogCapture;
using lumo::test::MappedDrive;
using lumo::test::MakeFile;
using lumo::test::PendingRenames;
using lumo::test::TempFolder;

struct CountingProgress : IFileProgress {
  int calls = 0;
  void OnFileAttempted() override { ++calls; }
};

bool Contains(const std::vector<std::wstring>& list, const std::wstring& item) {
  for (const std::wstring& entry : list)
    if (EqualsNoCase(entry, item)) return true;
  return false;
}

TEST(DeletePath, RemovesFilesAndTreesAndCountsMissingAsRemoved) {
  TempFolder folder;
  LogCapture log;
  const std::wstring readOnly = folder / L"read-only.dll";
  ASSERT_TRUE(MakeFile(readOnly));
  ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::wstring tree = folder / L"tree";
  ASSERT_TRUE(MakeFile(tree + L"\\a\\b\\deep.txt"));
  ::SetFileAttributesW((tree + L"\\a\\b\\deep.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  ::SetFileAttributesW((tree + L"\\a").c_str(), FILE_ATTRIBUTE_READONLY);

  PendingList pending;
  for (const std::wstring& path : {readOnly, tree, folder / L"missing.txt"}) {
    EXPECT_EQ(DeletePath(path, pending), 1) << path;
    EXPECT_FALSE(PathExists(path)) << path;
  }
  EXPECT_TRUE(pending.empty());
  EXPECT_EQ(log.Count(L"DeleteFile:" + readOnly + L" suceesss"), 1u);
}

TEST(DeletePath, AFileInUseStaysAndIsListed) {
  TempFolder folder;
  const std::wstring locked = folder / L"locked.exe";
  HeldFile held(locked);
  ASSERT_TRUE(held.holding());
  PendingList pending;
  EXPECT_EQ(DeletePath(locked, pending), 0);
  EXPECT_EQ(pending, PendingList{locked});
}

TEST(RemoveTree, ListsSurvivorsFilesFirstAndReportsEveryFileAttempted) {
  TempFolder folder;
  const std::wstring root = folder / L"plugin";
  for (const wchar_t* name : {L"x.dll", L"sub\\y.dll", L"sub\\deeper\\z.dat", L"sub\\deeper\\locked.dll"})
    ASSERT_TRUE(MakeFile(lumo::JoinPath(root, name)));
  const std::wstring locked = root + L"\\sub\\deeper\\locked.dll";
  HeldFile held(locked);
  ASSERT_TRUE(held.holding());

  PendingList pending;
  CountingProgress progress;
  EXPECT_TRUE(RemoveTree(root, pending, &progress));
  EXPECT_EQ(progress.calls, 4);
  EXPECT_EQ(pending, (PendingList{locked, root + L"\\sub\\deeper", root + L"\\sub", root}));
  for (const wchar_t* gone : {L"x.dll", L"sub\\y.dll", L"sub\\deeper\\z.dat"})
    EXPECT_FALSE(PathExists(lumo::JoinPath(root, gone))) << gone;
}

TEST(RemoveTree, RefusesEmptyAndOverlongPaths) {
  TempFolder folder;
  std::wstring longPath = folder.path();
  while (longPath.size() < 259) longPath += L"\\d";
  longPath.resize(260);
  PendingList pending;
  EXPECT_FALSE(RemoveTree(L"", pending));
  EXPECT_FALSE(RemoveTree(longPath, pending));
  EXPECT_EQ(PurgeTree(L""), 0);
  EXPECT_EQ(PurgeTree(longPath), 0);
  EXPECT_TRUE(pending.empty());
}

TEST(DeleteOrSchedule, DeletesOrSchedulesForRestart) {
  TempFolder folder;
  LogCapture log;
  PendingRenames renames;
  const std::wstring plain = folder / L"a.lnk";
  ASSERT_TRUE(MakeFile(plain));
  EXPECT_EQ(DeleteOrSchedule(plain), 1);
  EXPECT_EQ(DeleteOrSchedule(folder / L"missing.lnk"), 1);
  EXPECT_FALSE(PathExists(plain));

  const std::wstring locked = folder / L"locked.lnk";
  HeldFile held(locked);
  ASSERT_TRUE(held.holding());
  EXPECT_EQ(DeleteOrSchedule(locked), 0);
  EXPECT_EQ(log.Count(lumo::Format(L"delete %s failed, error=%d", locked.c_str(), ERROR_SHARING_VIOLATION)), 1u);
  EXPECT_EQ(renames.Added().size(), 1u);
  EXPECT_TRUE(Contains(renames.Added(), locked));
}

TEST(RemoveNowOrFail, OnlyWhatCanGoNow) {
  TempFolder folder;
  ASSERT_TRUE(MakeFile(folder / L"file.txt"));
  ASSERT_TRUE(lumo::test::MakeDirectories(folder / L"empty"));
  ASSERT_TRUE(MakeFile(folder / L"full\\inside.txt"));
  const std::wstring locked = folder / L"locked.txt";
  HeldFile held(locked);
  ASSERT_TRUE(held.holding());
  const struct {
    const wchar_t* name;
    int result;
  } cases[] = {{L"file.txt", 1}, {L"missing", 1}, {L"empty", 1}, {L"full", 0}, {L"locked.txt", 0}};
  for (const auto& c : cases) EXPECT_EQ(RemoveNowOrFail(folder / c.name), c.result) << c.name;
  EXPECT_TRUE(PathExists(folder / L"full\\inside.txt"));
}

TEST(PurgeTree, DeletesWhatItCanAndSchedulesFilesInUse) {
  TempFolder folder;
  PendingRenames renames;
  const std::wstring root = folder / L"staging";
  ASSERT_TRUE(MakeFile(root + L"\\a.dll"));
  ASSERT_TRUE(MakeFile(root + L"\\sub\\b.dll"));
  const std::wstring locked = root + L"\\sub\\in-use.exe";
  HeldFile held(locked);
  ASSERT_TRUE(held.holding());
  ::SetFileAttributesW(root.c_str(), FILE_ATTRIBUTE_READONLY);

  EXPECT_EQ(PurgeTree(root), 1);
  EXPECT_FALSE(PathExists(root + L"\\a.dll"));
  EXPECT_FALSE(PathExists(root + L"\\sub\\b.dll"));
  EXPECT_TRUE(PathExists(locked));
  EXPECT_EQ(renames.Added().size(), 1u);
  EXPECT_TRUE(Contains(renames.Added(), locked));
}

TEST(MoveToHiding, RenamesIntoTheTemporaryDirectoryOnTheSystemDrive) {
  TempFolder folder;
  const std::wstring file = folder / L"in-use.dll";
  ASSERT_TRUE(MakeFile(file, "payload"));
  std::wstring hidden;
  ASSERT_TRUE(MoveToHiding(file, hidden));
  EXPECT_TRUE(EqualsNoCase(lumo::DirectoryOf(hidden) + L"\\", lumo::TempDirectory()));
  const std::wstring name = hidden.substr(hidden.find_last_of(L'\\') + 1);
  EXPECT_TRUE(std::regex_match(name, std::wregex(LR"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9a-f]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}\.tmp)")))
      << name;
  EXPECT_FALSE(PathExists(file));
  EXPECT_EQ(lumo::test::ReadFileBytes(hidden), "payload");
  ::DeleteFileW(hidden.c_str());

  EXPECT_FALSE(MoveToHiding(folder / L"missing.dll", hidden));
  EXPECT_FALSE(MoveToHiding(L"", hidden));
}

TEST(MoveToHiding, UsesAHiddenDotTempFolderOnAnotherDrive) {
  TempFolder folder;
  MappedDrive mapped(folder.path());
  if (mapped.drive().empty()) GTEST_SKIP() << "no drive letter could be mapped onto a test folder";
  const std::wstring file = mapped.drive() + L"\\product\\in-use.dll";
  ASSERT_TRUE(MakeFile(file));
  std::wstring hidden;
  ASSERT_TRUE(MoveToHiding(file, hidden));
  EXPECT_TRUE(EqualsNoCase(lumo::DirectoryOf(hidden), mapped.drive() + L"\\.temp"));
  EXPECT_TRUE(::GetFileAttributesW((folder / L".temp").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(PathExists(folder / (L".temp\\" + hidden.substr(hidden.find_last_of(L'\\') + 1))));
}

}  // namespace
