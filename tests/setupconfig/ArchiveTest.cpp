#include <windows.h>

#include <set>

#include <gtest/gtest.h>

#include "base/TextUtil.h"
#include "setupconfig/ArchiveClient.h"
#include "setupconfig/ResourceUnpack.h"
#include "support/Sandbox.h"

namespace {

using lumo::test::ReadFileBytes;
using lumo::test::TempFolder;

std::wstring BinDir() { return lumo::DirectoryOf(lumo::ModulePath()); }
std::wstring Fixture(const wchar_t* name) { return lumo::JoinPath(BinDir(), std::wstring(L"fixtures\\archives\\") + name); }

class ArchiveTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(CArchiveLibrary::Instance().Load(lumo::JoinPath(BinDir(), L"7z.dll"))); }
  TempFolder folder_;
};

TEST_F(ArchiveTest, LoadingTwiceKeepsTheFirstLibrary) {
  EXPECT_TRUE(CArchiveLibrary::Instance().Load(L"C:\\no\\such\\7z.dll"));  // already loaded
  EXPECT_TRUE(CArchiveLibrary::Instance().IsLoaded());
}

TEST_F(ArchiveTest, ExtractsFilesAndFolders) {
  const std::wstring out = folder_ / L"out";
  ASSERT_EQ(CArchiveLibrary::Instance().ExtractArchive(Fixture(L"plain.7z"), out, nullptr), 0);
  EXPECT_EQ(ReadFileBytes(lumo::JoinPath(out, L"one.txt")), "first\n");
  EXPECT_EQ(ReadFileBytes(lumo::JoinPath(out, L"sub\\two.txt")), "second\n");
}

struct HostileCase {
  const wchar_t* archive;
  const wchar_t* escapedName;
};

class HostileArchives : public ArchiveTest, public ::testing::WithParamInterface<HostileCase> {};

// Nothing may land outside the extraction folder; such an archive fails.
TEST_P(HostileArchives, FailWithoutWritingOutside) {
  const std::wstring out = folder_ / L"a\\b\\out";
  EXPECT_EQ(CArchiveLibrary::Instance().ExtractArchive(Fixture(GetParam().archive), out, nullptr), -1);
  for (const wchar_t* dir : {L"", L"a", L"a\\b"}) {
    EXPECT_FALSE(lumo::FileExists(lumo::JoinPath(folder_ / dir, GetParam().escapedName))) << dir;
  }
  EXPECT_FALSE(lumo::FileExists(std::wstring(L"C:\\") + GetParam().escapedName));
}

INSTANTIATE_TEST_SUITE_P(Crafted, HostileArchives,
                         ::testing::Values(HostileCase{L"traversal.7z", L"evil.txt"},
                                           HostileCase{L"absolute.7z", L"evil.txt"},
                                           HostileCase{L"drive.7z", L"evil.txt"}));

TEST_F(ArchiveTest, PasswordRequestIsRefused) {
  EXPECT_EQ(CArchiveLibrary::Instance().ExtractArchive(Fixture(L"encrypted.7z"), folder_ / L"out", nullptr), -1);
  EXPECT_NE(ReadFileBytes(folder_ / L"out\\one.txt"), "first\n");
}

TEST_F(ArchiveTest, MissingOrBrokenArchiveFails) {
  EXPECT_EQ(CArchiveLibrary::Instance().ExtractArchive(folder_ / L"missing.7z", folder_ / L"out", nullptr), -1);
  ASSERT_TRUE(lumo::test::WriteFileBytes(folder_ / L"junk.7z", "not an archive"));
  EXPECT_EQ(CArchiveLibrary::Instance().ExtractArchive(folder_ / L"junk.7z", folder_ / L"out", nullptr), -1);
}

struct ItemPathCase {
  const wchar_t* path;
  bool accepted;
  const wchar_t* relative;
};

class ArchiveItemPaths : public ::testing::TestWithParam<ItemPathCase> {};

TEST_P(ArchiveItemPaths, StayInsideTheFolder) {
  std::wstring relative;
  EXPECT_EQ(NormalizeArchiveItemPath(GetParam().path, relative), GetParam().accepted);
  if (GetParam().accepted) {
    EXPECT_EQ(relative, GetParam().relative);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArchiveItemPaths,
    ::testing::Values(ItemPathCase{L"lumo.brixprj", true, L"lumo.brixprj"},
                      ItemPathCase{L"sub/two.txt", true, L"sub\\two.txt"},
                      ItemPathCase{L"a..b\\c.txt", true, L"a..b\\c.txt"}, ItemPathCase{L".\\x", true, L".\\x"},
                      ItemPathCase{L"..\\evil.txt", false, L""}, ItemPathCase{L"a/../../evil", false, L""},
                      ItemPathCase{L"a\\.. \\evil", false, L""}, ItemPathCase{L"...\\evil", false, L""},
                      ItemPathCase{L"\\windows\\evil", false, L""}, ItemPathCase{L"/tmp/evil", false, L""},
                      ItemPathCase{L"C:evil.txt", false, L""}, ItemPathCase{L"C:\\evil.txt", false, L""},
                      ItemPathCase{L"file.txt:stream", false, L""}, ItemPathCase{L"", false, L""}));

GUID g_fixedGuid = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
HRESULT WINAPI FixedGuid(GUID* out) {
  *out = g_fixedGuid;
  return S_OK;
}

TEST(TempName, TakenNamesAreSkippedAndTenTakenFail) {
  std::wstring path;
  ASSERT_TRUE(lumo::MakeTempName(path, &FixedGuid));
  EXPECT_EQ(path, lumo::TempDirectory() + L"{11111111-2222-3333-4444-555555555555}.tmp");
  ASSERT_TRUE(lumo::test::WriteFileBytes(path, "taken"));
  std::wstring second = L"unchanged";
  EXPECT_FALSE(lumo::MakeTempName(second, &FixedGuid));  // the same name ten times
  EXPECT_EQ(second, L"unchanged");
  ::DeleteFileW(path.c_str());
  ASSERT_TRUE(lumo::MakeTempName(second));
  EXPECT_NE(second, path);
}

TEST(WriteNewFile, WritesWholeBlocksAndTheRemainder) {
  TempFolder folder;
  for (DWORD size : {0u, 1u, 4096u, 8192u, 8193u}) {
    std::string bytes(size, '\0');
    for (DWORD i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7);
    const std::wstring path = folder / L"out.bin";
    ASSERT_TRUE(lumo::WriteNewFile(path, bytes.data(), size));
    EXPECT_EQ(ReadFileBytes(path), bytes) << size;
  }
}

}  // namespace
