#include "engine/ProcessShutdown.h"

#include <gtest/gtest.h>

#include "RemovalSupport.h"
#include "ShutdownSupport.h"
#include "app/SmartLogger.h"
#include "base/TextUtil.h"
#include "setupconfig/SetupConfig.h"

namespace {

using lumo::test::LogCapture;
using lumo::test::PlaceFixture;
using lumo::test::RecordOf;
using lumo::test::RunningProgram;
using lumo::test::StayingProgram;
using lumo::test::TempFolder;

// A copy of this test program started with one of these variables set runs
// a kill from inside the installation folder before any test runs: the
// directory kill, reporting the count in its exit code, or the whole step,
// logging into the named file.
const wchar_t kKillDirVariable[] = L"LUMO_TEST_KILL_DIR";
const wchar_t kKillStepVariable[] = L"LUMO_TEST_KILL_STEP";
const wchar_t kKillLogVariable[] = L"LUMO_TEST_KILL_LOG";
constexpr int kInsideExitBase = 100;

void RunStepFromInside(const std::wstring& dir, const std::wstring& logPath);

struct KillFromInside {
  KillFromInside() {
    wchar_t dir[MAX_PATH] = {}, logPath[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(kKillStepVariable, dir, MAX_PATH)) {
      ::GetEnvironmentVariableW(kKillLogVariable, logPath, MAX_PATH);
      RunStepFromInside(dir, logPath);
      ::ExitProcess(0);
    }
    if (!::GetEnvironmentVariableW(kKillDirVariable, dir, MAX_PATH)) return;
    int killed = -1;
    KillMultiProcesses(dir, &killed);
    ::ExitProcess(static_cast<UINT>(kInsideExitBase + killed));
  }
} killFromInside;

std::wstring Upper(const std::wstring& text) { return lumo::ToUpper(text); }

// The installation folder "Kesto" and, next to it, a folder of another
// program whose name begins the same way.
struct InstallLayout {
  TempFolder root;
  std::wstring dir = root / L"Kesto";
  std::wstring Inside(const std::wstring& relative) const { return lumo::JoinPath(dir, relative); }
  std::wstring Sibling() const { return root / L"KestoTools\\editor.exe"; }
};

TEST(PathInsideFolder, OnlyPathsBelowTheFolderMatch) {
  struct Case {
    const wchar_t* path;
    const wchar_t* folder;
    bool inside;
  };
  const Case cases[] = {
      {L"C:\\Kesto\\kestowp.exe", L"C:\\Kesto", true},
      {L"c:\\kesto\\wallpaperhelper\\a.exe", L"C:\\KESTO", true},
      {L"C:\\Kesto\\kestowp.exe", L"C:\\Kesto\\", true},
      {L"C:\\KestoTools\\editor.exe", L"C:\\Kesto", false},
      {L"C:\\Kesto2\\kestowp.exe", L"C:\\Kesto", false},
      {L"C:\\Kesto", L"C:\\Kesto", false},
      {L"C:\\Kesto\\x.exe", L"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsPathInsideFolder(c.path, c.folder), c.inside) << c.path << L" in " << c.folder;
}

TEST(MessageNumber, KnownNamesAndTheCloseDefault) {
  EXPECT_EQ(MessageNumberFromName(L"WM_CLOSE"), static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(MessageNumberFromName(L"WM_QUIT"), static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(MessageNumberFromName(L"WM_COMMAND"), static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(MessageNumberFromName(L"wm_quit"), static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(MessageNumberFromName(nullptr), static_cast<UINT>(WM_CLOSE));
}

TEST(ProcessImagePath, ReadsAnotherProgramsPathAndRefusesSmallBuffers) {
  TempFolder folder;
  const std::wstring path = folder / L"sub folder\\image.exe";
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", path));
  StayingProgram program(path);
  ASSERT_TRUE(program.ready());
  wchar_t buffer[1024] = {};
  EXPECT_EQ(GetProcessImagePath(program.id(), buffer, 1024), path.size());
  EXPECT_EQ(Upper(buffer), Upper(path));
  EXPECT_EQ(GetProcessImagePath(program.id(), buffer, 99), 0u);
  EXPECT_EQ(GetProcessImagePath(program.id(), nullptr, 1024), 0u);
}

TEST(KillMultiProcesses, KillsInsideTheFolderOnly) {
  InstallLayout layout;
  const std::wstring inRoot = layout.Inside(L"kestoapp.exe");
  const std::wstring inSubFolder = layout.Inside(L"wallpaperhelper\\helper.exe");
  const std::wstring redOroElsewhere = layout.Inside(L"other\\RedOro\\RedOro.exe");
  const std::wstring ignored = layout.Inside(L"RedOro\\RedOro.exe");
  const std::wstring sibling = layout.Sibling();
  for (const std::wstring& path : {inRoot, inSubFolder, redOroElsewhere, ignored, sibling})
    ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", path));
  StayingProgram root(inRoot), sub(inSubFolder), other(redOroElsewhere), kept(ignored), neighbour(sibling);
  for (const StayingProgram* p : {&root, &sub, &other, &kept, &neighbour}) ASSERT_TRUE(p->ready());

  LogCapture log;
  int killed = -1;
  EXPECT_EQ(KillMultiProcesses(layout.dir.c_str(), &killed), 0);

  EXPECT_EQ(killed, 3);
  for (const StayingProgram* p : {&root, &sub, &other}) EXPECT_EQ(p->ExitCode(), 0u);
  EXPECT_TRUE(kept.Running());
  EXPECT_TRUE(neighbour.Running());
  EXPECT_EQ(log.Count(L"Ignore process : " + Upper(ignored)), 1u);
  EXPECT_EQ(log.Count(L"Kill process: " + Upper(inSubFolder)), 1u);
  EXPECT_EQ(log.Count(L"end KillMultiProcesses"), 1u);
}

TEST(KillMultiProcesses, SparesItselfAndItsParentInsideTheFolder) {
  InstallLayout layout;
  const std::wstring parent = layout.Inside(L"parent.exe");
  const std::wstring self = layout.Inside(L"runner\\shutdown_tests.exe");
  const std::wstring victim = layout.Inside(L"victim.exe");
  ASSERT_TRUE(PlaceFixture(L"spawner_unsigned.exe", parent));
  ASSERT_TRUE(lumo::test::MakeDirectories(lumo::DirectoryOf(self)));
  ASSERT_TRUE(::CopyFileW(lumo::ModulePath().c_str(), self.c_str(), FALSE));
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", victim));
  StayingProgram victimProgram(victim);
  ASSERT_TRUE(victimProgram.ready());

  ::SetEnvironmentVariableW(kKillDirVariable, layout.dir.c_str());
  RunningProgram chain(parent, L"\"" + self + L"\"");
  ::SetEnvironmentVariableW(kKillDirVariable, nullptr);

  // Spawner passes on the copy's exit code: both lived to the end and only
  // the victim was killed.
  EXPECT_EQ(chain.ExitCode(), static_cast<DWORD>(kInsideExitBase + 1));
  EXPECT_EQ(victimProgram.ExitCode(), 0u);
}

TEST(KillMultiProcesses, RefusesDirectoriesOfUnusableLength) {
  TempFolder folder;
  const std::wstring tooLong = folder.path() + L"\\" + std::wstring(270, L'a');
  for (const wchar_t* dir : {static_cast<const wchar_t*>(nullptr), L"C:\\", L"", tooLong.c_str()}) {
    LogCapture log;
    int killed = -1;
    EXPECT_EQ(KillMultiProcesses(dir, &killed), 0);
    EXPECT_EQ(killed, -1);  // returned before the count was touched
    EXPECT_EQ(log.Count(L"enter KillMultiProcesses"), 1u);
    EXPECT_EQ(log.Count(L"end KillMultiProcesses"), 0u);
  }
}

TEST(KillProcessByPath, KillsEveryCopyOfThatPathAndNothingElse) {
  TempFolder folder;
  const std::wstring target = folder / L"a\\kestowp.exe";
  const std::wstring sameName = folder / L"b\\kestowp.exe";
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", target));
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", sameName));
  StayingProgram first(target), second(target), other(sameName);
  for (const StayingProgram* p : {&first, &second, &other}) ASSERT_TRUE(p->ready());
  LogCapture log;
  EXPECT_EQ(KillProcessByPath(Upper(target).c_str()), 0);
  EXPECT_EQ(first.ExitCode(), 0u);
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_TRUE(other.Running());
  EXPECT_EQ(log.Count(L"Kill process: " + Upper(target)), 2u);
}

// A setup project that lists only windows to close.
class CloseListConfig : public ISetupConfig {
 public:
  void Add(const std::wstring& windowClass, UINT message) {
    CloseProgramRecord item{};
    wcsncpy(item.windowClass, windowClass.c_str(), 195);
    item.message = message;
    item.timeoutMs = 5000;
    items_.push_back(item);
  }
  int LoadFromResource(HMODULE, UINT, const wchar_t*, const wchar_t*) override { return 0; }
  int GetMinimizeSpace() override { return 0; }
  IUninstallRootDirList* GetRootDirList() override { return nullptr; }
  bool GetVersion(wchar_t*, int) override { return false; }
  bool GetMainApp(wchar_t*, int) override { return false; }
  HKEY GetRegRootKey() override { return HKEY_LOCAL_MACHINE; }
  bool GetRegSubKey(wchar_t*, int) override { return false; }
  bool GetRegValueName(wchar_t*, int) override { return false; }
  int GetCloseProgramCount() override { return static_cast<int>(items_.size()); }
  bool GetCloseProgram(int index, CloseProgramRecord* record) override {
    *record = items_.at(static_cast<size_t>(index));
    return true;
  }
  bool GetCheckFile(int, wchar_t*, int) override { return false; }
  int GetCheckFileCount() override { return 0; }
  bool GetInstProgram(int, ProgramRecord*) override { return false; }
  int GetInstProgramCount() override { return 0; }
  bool GetUninstProgram(int, ProgramRecord*) override { return false; }
  int GetUninstProgramCount() override { return 0; }
  int GetFileCount() override { return 0; }

 private:
  std::vector<CloseProgramRecord> items_;
};

TEST(KillProcessesInInstallPath, ClosesWindowsThenKillsWhatIsLeftInsideTheFolder) {
  InstallLayout layout;
  const std::wstring suffix = lumo::test::NewGuidText();
  const std::wstring mainClass = L"LumoTestMain" + suffix, pendantClass = L"LumoTestPendant" + suffix,
                     stubbornClass = L"LumoTestStubborn" + suffix;
  const std::wstring mainProgram = layout.Inside(L"kestowp.exe");
  const std::wstring pendant = layout.Inside(L"kestopendant.exe");
  const std::wstring stubborn = layout.Inside(L"wallpaperhelper\\stubborn.exe");
  const std::wstring ignored = layout.Inside(L"RedOro\\RedOro.exe");
  for (const std::wstring& path : {mainProgram, pendant, stubborn}) ASSERT_TRUE(PlaceFixture(L"stand_in_unsigned.exe", path));
  for (const std::wstring& path : {ignored, layout.Sibling()}) ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", path));
  RunningProgram mainRun(mainProgram, mainClass + L" quit"), pendantRun(pendant, pendantClass + L" quit"),
      stubbornRun(stubborn, stubbornClass + L" ignore");
  StayingProgram kept(ignored), neighbour(layout.Sibling());
  for (const std::wstring& windowClass : {mainClass, pendantClass, stubbornClass})
    ASSERT_TRUE(lumo::test::WaitUntil([&] { return ::FindWindowW(windowClass.c_str(), nullptr) != nullptr; }));
  ASSERT_TRUE(kept.ready() && neighbour.ready());

  CloseListConfig config;
  config.Add(mainClass, WM_CLOSE);
  config.Add(L"LumoTestAbsent" + suffix, WM_CLOSE);
  config.Add(pendantClass, WM_COMMAND);
  config.Add(stubbornClass, WM_CLOSE);
  LogCapture log;
  KillProcessesInInstallPath(config, layout.dir);

  EXPECT_EQ(mainRun.ExitCode(), 7u);  // quit on its message, not killed
  EXPECT_EQ(pendantRun.ExitCode(), 7u);
  EXPECT_EQ(stubbornRun.ExitCode(), 0u);
  EXPECT_NE(RecordOf(mainProgram).find(L"message 16\n"), std::wstring::npos);
  EXPECT_NE(RecordOf(pendant).find(L"message 273\n"), std::wstring::npos);
  EXPECT_EQ(RecordOf(stubborn), L"broadcast\nmessage 16\n");
  EXPECT_TRUE(kept.Running());
  EXPECT_TRUE(neighbour.Running());
  for (const std::wstring& windowClass : {mainClass, pendantClass, stubbornClass})
    EXPECT_EQ(log.Count(L"Send msg to " + windowClass + L" wnd"), 1u);
  EXPECT_EQ(log.Text().find(L"LumoTestAbsent"), std::wstring::npos);
  EXPECT_EQ(log.Count(L"Ignore process : " + Upper(ignored)), 1u);
  EXPECT_EQ(log.Count(L"enter KillProcessesInInstallPath szTargetDir=" + layout.dir), 1u);
  EXPECT_EQ(log.Count(L"end KillProcessesInInstallPath"), 1u);
}

TEST(KillProcessesInInstallPath, KillsTheMainProgramByPathWhenItIsTheParent) {
  // The directory kill spares the parent of the process that runs it; the
  // exact-path kill that follows still ends the main program.
  InstallLayout layout;
  const std::wstring mainProgram = layout.Inside(L"kestowp.exe");
  const std::wstring self = layout.Inside(L"runner\\shutdown_tests.exe");
  ASSERT_TRUE(PlaceFixture(L"spawner_unsigned.exe", mainProgram));
  ASSERT_TRUE(lumo::test::MakeDirectories(lumo::DirectoryOf(self)));
  ASSERT_TRUE(::CopyFileW(lumo::ModulePath().c_str(), self.c_str(), FALSE));
  const std::wstring logPath = layout.root / L"inside.log";

  ::SetEnvironmentVariableW(kKillStepVariable, layout.dir.c_str());
  ::SetEnvironmentVariableW(kKillLogVariable, logPath.c_str());
  RunningProgram chain(mainProgram, L"\"" + self + L"\"");
  ::SetEnvironmentVariableW(kKillStepVariable, nullptr);
  ::SetEnvironmentVariableW(kKillLogVariable, nullptr);

  EXPECT_EQ(chain.ExitCode(), 0u);  // killed, not passing on the copy's end
  ASSERT_TRUE(lumo::test::WaitUntil([&] { return !lumo::test::IsPathRunning(self); }));
  const std::wstring log = lumo::test::ReadLogText(logPath);
  EXPECT_NE(log.find(L"Kill process: " + Upper(mainProgram)), std::wstring::npos) << log;
  EXPECT_NE(log.find(L"end KillProcessesInInstallPath"), std::wstring::npos) << log;
}

TEST(KillProcessesInInstallPath, ShortDirectoriesOnlyLogTheEnterLine) {
  for (const wchar_t* dir : {L"", L"C:\\", L"C:\\a"}) {
    CloseListConfig config;
    LogCapture log;
    KillProcessesInInstallPath(config, dir);
    EXPECT_EQ(log.Count(std::wstring(L"enter KillProcessesInInstallPath szTargetDir=") + dir), 1u) << dir;
    EXPECT_EQ(log.Text().find(L"KillMultiProcesses"), std::wstring::npos) << dir;
    EXPECT_EQ(log.Count(L"end KillProcessesInInstallPath"), 0u) << dir;
  }
}

void RunStepFromInside(const std::wstring& dir, const std::wstring& logPath) {
  CSmartLogger::Instance().SetPath(logPath);
  CloseListConfig config;
  KillProcessesInInstallPath(config, dir);
  CSmartLogger::Instance().SetPath(L"");
}

}  // namespace
