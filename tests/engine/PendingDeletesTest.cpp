#include "engine/PendingDeletes.h"

#include <gtest/gtest.h>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/RemovalSupport.h"
#include "engine/RunOnceBatch.h"

namespace {

using lumo::test::EqualsNoCase;
using lumo::test::LogCapture;
using lumo::test::MakeFile;
using lumo::test::PendingRenames;
using lumo::test::TempFolder;

// RunOnce values named "brix*.bat" that a test added, with their batch files;
// removed when the test ends.
class RunOnceValues {
 public:
  RunOnceValues() : before_(Names()) {}
  ~RunOnceValues() {
    lumo::UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS)
      return;
    for (const auto& [name, data] : Added()) {
      ::DeleteFileW(data.c_str());
      ::RegDeleteValueW(key.get(), name.c_str());
    }
  }
  std::vector<std::pair<std::wstring, std::wstring>> Added() const {
    std::vector<std::pair<std::wstring, std::wstring>> added;
    for (const auto& entry : Names()) {
      bool old = false;
      for (const auto& earlier : before_) old = old || earlier.first == entry.first;
      if (!old) added.push_back(entry);
    }
    return added;
  }

 private:
  static std::vector<std::pair<std::wstring, std::wstring>> Names() {
    std::vector<std::pair<std::wstring, std::wstring>> names;
    lumo::UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS)
      return names;
    for (DWORD i = 0;; ++i) {
      wchar_t name[MAX_PATH] = {};
      wchar_t data[MAX_PATH] = {};
      DWORD nameChars = MAX_PATH, dataBytes = sizeof(data) - 2;
      if (::RegEnumValueW(key.get(), i, name, &nameChars, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                          &dataBytes) != ERROR_SUCCESS)
        break;
      names.emplace_back(name, data);
    }
    return names;
  }
  std::vector<std::pair<std::wstring, std::wstring>> before_;
};

bool NeverSchedules(const std::wstring&) { return false; }

std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

TEST(FinishPendingDeletes, HidesAndSchedulesFilesThenDirectoriesThenTheDriveHidingFolder) {
  TempFolder folder;
  LogCapture log;
  PendingRenames renames;
  RunOnceValues runOnce;
  const std::wstring dir = folder / L"Kesto";
  const std::wstring file = dir + L"\\plugin\\stuck.dll";
  const std::wstring full = dir + L"\\full";
  const std::wstring emptied = dir + L"\\plugin";
  ASSERT_TRUE(MakeFile(file));
  ASSERT_TRUE(MakeFile(full + L"\\x.dat"));
  PendingList pending{file, full, emptied};

  EXPECT_EQ(FinishPendingDeletes(pending, dir), 1);

  EXPECT_TRUE(pending.empty());
  EXPECT_FALSE(PathExists(dir));  // emptied at once, then removed
  const std::vector<std::wstring> added = renames.Added();
  ASSERT_EQ(added.size(), 3u);
  EXPECT_TRUE(EqualsNoCase(lumo::DirectoryOf(added[0]) + L"\\", lumo::TempDirectory()));
  EXPECT_TRUE(EqualsNoCase(lumo::DirectoryOf(added[1]) + L"\\", lumo::TempDirectory()));
  EXPECT_TRUE(EqualsNoCase(added[2], lumo::Format(L"%c:\\.temp", dir[0])));
  EXPECT_EQ(log.Count(L"cut " + file + L" to " + added[0] + L" success"), 1u);
  EXPECT_EQ(log.Count(L"write " + added[0] + L" to pending success"), 1u);
  EXPECT_EQ(log.Count(L"cut " + full + L" to " + added[1] + L" success"), 1u);
  EXPECT_EQ(log.Count(L"write " + added[2] + L" to pending success"), 1u);
  EXPECT_TRUE(runOnce.Added().empty());
  ::DeleteFileW(added[0].c_str());
  ::DeleteFileW((added[1] + L"\\x.dat").c_str());
  ::RemoveDirectoryW(added[1].c_str());
}

TEST(FinishPendingDeletes, WritesTheRunOnceBatchWhenRestartSchedulingFails) {
  TempFolder folder;
  LogCapture log;
  RunOnceValues runOnce;
  const std::wstring dir = folder / L"Kesto";
  const std::wstring file = dir + L"\\stuck.dll";
  const std::wstring full = dir + L"\\full";
  ASSERT_TRUE(MakeFile(file));
  ASSERT_TRUE(MakeFile(full + L"\\x.dat"));
  PendingList pending{file, full};

  EXPECT_EQ(FinishPendingDeletes(pending, dir, &NeverSchedules), 1);

  const auto added = runOnce.Added();
  ASSERT_EQ(added.size(), 1u);
  const std::wstring batch = added[0].second;
  EXPECT_EQ(added[0].first, NameOf(batch));
  EXPECT_EQ(NameOf(batch).substr(0, 3), L"bri");
  EXPECT_EQ(batch.substr(batch.size() - 4), L".bat");
  std::string text = lumo::test::ReadFileBytes(batch);
  // Lines of the form: del /q "<hidden file>" / rd /s /q "<hidden dir>" / rd /q "X:\.temp" / del /q "<batch>"
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < text.size(); start = end + 2) {
    end = text.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    lines.push_back(text.substr(start, end - start));
  }
  ASSERT_EQ(lines.size(), 4u) << text;
  EXPECT_EQ(lines[0].rfind("del /q \"", 0), 0u);
  EXPECT_EQ(lines[1].rfind("rd /s /q \"", 0), 0u);
  EXPECT_EQ(lines[2], std::string("rd /q \"") + char(dir[0]) + ":\\.temp\" ");
  std::string ansiBatch(batch.begin(), batch.end());
  EXPECT_EQ(lines[3], "del /q \"" + ansiBatch + "\" ");
  const std::string hiddenFile = lines[0].substr(8, lines[0].size() - 10);
  const std::string hiddenDir = lines[1].substr(10, lines[1].size() - 12);
  EXPECT_EQ(log.Count(L"write to runonce bat: " + std::wstring(hiddenFile.begin(), hiddenFile.end())), 1u);
  EXPECT_EQ(log.Count(L"write to runonce bat: " + batch), 1u);
  EXPECT_EQ(log.Count(L"write runonce bat to registry"), 1u);
  EXPECT_TRUE(lumo::FileExists(std::wstring(hiddenFile.begin(), hiddenFile.end())));
  ::DeleteFileA(hiddenFile.c_str());
  ::DeleteFileA((hiddenDir + "\\x.dat").c_str());
  ::RemoveDirectoryA(hiddenDir.c_str());
}

TEST(FinishPendingDeletes, RefusesADriveRootAndLeavesTheListAlone) {
  TempFolder folder;
  PendingRenames renames;
  ASSERT_TRUE(MakeFile(folder / L"stuck.dll"));
  PendingList pending{folder / L"stuck.dll"};
  EXPECT_EQ(FinishPendingDeletes(pending, L"C:\\"), 0);
  EXPECT_EQ(pending.size(), 1u);
  EXPECT_TRUE(renames.Added().empty());
  EXPECT_TRUE(PathExists(folder / L"stuck.dll"));
}

}  // namespace
