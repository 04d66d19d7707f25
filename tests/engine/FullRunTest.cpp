// The whole run sequence over a made-up installation, as the progress window
// would drive it: a recording callback on this (UI) thread, the shipped setup
// project, listed and foreign top-level entries, temporary files and a file
// held open by another process.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RecordingCallback.h"
#include "RemovalSupport.h"
#include "base/Handles.h"
#include "base/TextUtil.h"
#include "base/UIThreadWindow.h"
#include "engine/Uninstaller.h"
#include "setupconfig/ArchiveClient.h"
#include "setupconfig/SetupConfig.h"
#include "support/Sandbox.h"

namespace {

using namespace lumo::test;

std::wstring BinDir() { return lumo::DirectoryOf(lumo::ModulePath()); }

class FullRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(com_.succeeded());
    ASSERT_TRUE(CUIThreadWindow::Create());
    ASSERT_TRUE(CArchiveLibrary::Instance().Load(lumo::JoinPath(BinDir(), L"7z.dll")));
    lumo::UniqueModule program(::LoadLibraryExW(lumo::JoinPath(BinDir(), L"Uninstall.exe").c_str(), nullptr,
                                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(program);
    ASSERT_EQ(config_.LoadFromResource(program.get(), 209, L"SETUPCONFIG", L"lumo.brixprj"), 1);
    engine_.SetInstallDir(install_.path().c_str());
  }
  std::wstring At(const std::wstring& relative) const { return install_ / relative; }

  lumo::ScopedComInit com_;
  TempFolder install_;
  CSetupConfig config_;
  CUninstaller engine_{config_};
};

TEST_F(FullRun, RemovesWhatItShouldAndReportsInOrder) {
  // Listed top-level entries with nested content.
  for (const wchar_t* file : {L"Utils\\a.dll", L"Utils\\deep\\b.dat", L"lpi\\KsSvc.dll", L"log\\x\\y\\z.log",
                              L"config.set", L"Uninstall.exe", L"VoduReda.dll", L"Utils\\held.dat"}) {
    ASSERT_TRUE(MakeFile(At(file)));
  }
  // Foreign top-level entries: unsigned ones stay, a signed one goes.
  ASSERT_TRUE(MakeFile(At(L"notes.txt")));
  ASSERT_TRUE(MakeFile(At(L"Pictures\\mine.jpg")));
  ASSERT_TRUE(::CopyFileW(SigningFixture(L"tiny_program_accepted.exe").c_str(), At(L"helper.exe").c_str(), FALSE));
  // Temporary files in several cases and depths.
  for (const wchar_t* file : {L"a.tmp", L"Pictures\\B.TMP", L"Pictures\\deep\\c.Tmp"}) {
    ASSERT_TRUE(MakeFile(At(file)));
  }

  LogCapture log;
  PendingRenames pending;
  RecordingCallback recorder;
  {
    HeldFile held(At(L"Utils\\held.dat"));
    ASSERT_TRUE(held.holding());
    engine_.Start(&recorder);
    ASSERT_TRUE(PumpUntil(recorder.Done(), 120000));
  }

  // Callbacks: start, progress..., end on this thread; the last on the worker.
  ASSERT_GE(recorder.events.size(), 4u);
  EXPECT_EQ(recorder.events.front(), "start");
  EXPECT_EQ(recorder.events[recorder.events.size() - 2], "end");
  EXPECT_EQ(recorder.events.back(), "real-end");
  for (size_t i = 0; i + 1 < recorder.threads.size(); ++i) EXPECT_EQ(recorder.threads[i], ::GetCurrentThreadId());
  EXPECT_NE(recorder.threads.back(), ::GetCurrentThreadId());

  // 1, 4 ... 9, per-file values above 10 up to 98, then 97, 98, 99; never 100.
  const std::vector<int>& p = recorder.progress;
  ASSERT_GE(p.size(), 11u);
  EXPECT_EQ(std::vector<int>(p.begin(), p.begin() + 7), (std::vector<int>{1, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(std::vector<int>(p.end() - 3, p.end()), (std::vector<int>{97, 98, 99}));
  const std::vector<int> perFile(p.begin() + 7, p.end() - 3);
  ASSERT_FALSE(perFile.empty());
  EXPECT_TRUE(std::is_sorted(perFile.begin(), perFile.end()));
  EXPECT_GT(perFile.front(), 10);
  EXPECT_LE(perFile.back(), 98);

  // Listed entries are gone, except what was held open (scheduled for restart).
  for (const wchar_t* gone : {L"Utils\\a.dll", L"lpi", L"log", L"config.set", L"Uninstall.exe", L"VoduReda.dll",
                              L"helper.exe", L"a.tmp", L"Pictures\\B.TMP", L"Pictures\\deep\\c.Tmp"}) {
    EXPECT_FALSE(PathExists(At(gone))) << gone;
  }
  EXPECT_TRUE(lumo::FileExists(At(L"notes.txt")));
  EXPECT_TRUE(lumo::FileExists(At(L"Pictures\\mine.jpg")));
  EXPECT_EQ(log.Count(L"File NOT exists in xml: notes.txt"), 2u);
  EXPECT_EQ(log.Count(L"File NOT exists in xml: Pictures"), 2u);

  const std::vector<std::wstring> scheduled = pending.Added();
  const bool heldScheduled = std::any_of(scheduled.begin(), scheduled.end(), [&](const std::wstring& source) {
    return lumo::ToUpper(source).find(L"HELD.DAT") != std::wstring::npos;
  });
  EXPECT_TRUE(heldScheduled);

  // What was scheduled for the restart is this test's own; clear it now.
  for (const std::wstring& source : scheduled) {
    if (lumo::ToUpper(source).rfind(lumo::ToUpper(lumo::TempDirectory()), 0) != 0) continue;
    RemoveTree(source);
    ::RemoveDirectoryW(lumo::DirectoryOf(source).c_str());
  }

  for (const wchar_t* line : {L"start call program", L"start close all processes", L"remove file by registry",
                              L"remove autorun", L"start create runonce bat", L"re unistinfo ret=0"}) {
    EXPECT_EQ(log.Count(line), 1u) << line;
  }
}

}  // namespace
