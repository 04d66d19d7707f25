#include "engine/Hooks.h"

#include <gtest/gtest.h>

#include "RemovalSupport.h"
#include "ShutdownSupport.h"
#include "app/ProductProfile.h"
#include "base/TextUtil.h"
#include "engine/PluginTask.h"
#include "engine/RegistryFileList.h"

namespace {

using lumo::test::LogCapture;
using lumo::test::PlaceFixture;
using lumo::test::RecordOf;
using lumo::test::ScopedHookKey;
using lumo::test::StayingProgram;
using lumo::test::TempFolder;
using lumo::test::WaitUntil;

ProgramRecord Program(const wchar_t* fileName, const wchar_t* type, const wchar_t* signType,
                      const wchar_t* cmdline = L"", const wchar_t* funcName = L"", const wchar_t* para = L"") {
  ProgramRecord item{};
  wcscpy(item.fileName, fileName);
  wcscpy(item.type, type);
  wcscpy(item.signType, signType);
  wcscpy(item.cmdline, cmdline);
  wcscpy(item.funcName, funcName);
  wcscpy(item.para, para);
  item.sync = 1;
  return item;
}

TEST(UninstallPrograms, RunSignedProgramsAndLibrariesAndRefuseTheRest) {
  TempFolder install;
  const std::wstring tool = install / L"tools\\uninst.exe";
  const std::wstring service = install / L"lpi\\KsSvc.dll";
  const std::wstring unsignedTool = install / L"unsigned.exe";
  const std::wstring wrongSigner = install / L"wrong.exe";
  const std::wstring unsignedLibrary = install / L"plain.dll";
  ASSERT_TRUE(PlaceFixture(L"recorder_accepted.exe", tool));
  ASSERT_TRUE(PlaceFixture(L"hook_library_accepted.dll", service));
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", unsignedTool));
  ASSERT_TRUE(PlaceFixture(L"recorder_wrong.exe", wrongSigner));
  ASSERT_TRUE(PlaceFixture(L"hook_library_unsigned.dll", unsignedLibrary));
  StayingProgram runningCopy(tool);
  ASSERT_TRUE(runningCopy.ready());

  const std::vector<ProgramRecord> items = {
      Program(L"tools\\uninst.exe", L"EXE", L"", L"/x 1"),
      Program(L"lpi\\KsSvc.dll", L"Dll", L"", L"", L"DS", L"svc arg"),
      Program(L"unsigned.exe", L"exe", L""),
      Program(L"wrong.exe", L"exe", L""),
      Program(L"tools\\uninst.exe", L"exe", L"Another Signer Ltd."),
      Program(L"plain.dll", L"dll", L"", L"", L"DS"),
      Program(L"missing.exe", L"exe", L""),
  };
  LogCapture log;
  RunUninstallPrograms(items, install.path());

  EXPECT_EQ(runningCopy.ExitCode(), 0u);  // killed before the hook started
  EXPECT_EQ(RecordOf(tool), L"\"" + tool + L"\" --stay\n\"" + tool + L"\" /x 1\n");
  EXPECT_EQ(log.Count(L"call exe begin, path=[" + tool + L"] cmd=[/x 1]"), 1u);
  EXPECT_EQ(log.Count(L"call exe return [1], path=[" + tool + L"], cmd=[/x 1], sync[1]"), 1u);
  EXPECT_EQ(RecordOf(service), L"DS [svc arg]\n");
  EXPECT_EQ(log.Count(L"call dll func start, path=[" + service + L"]"), 1u);
  EXPECT_EQ(log.Count(L"call dll fun end, path=[" + service + L"]"), 1u);
  for (const std::wstring& refused : {unsignedTool, wrongSigner, unsignedLibrary}) {
    EXPECT_EQ(log.Count(L"check sign fail, signType[], filepath[" + refused + L"]"), 1u) << refused;
    EXPECT_EQ(RecordOf(refused), L"") << refused;
  }
  EXPECT_EQ(log.Count(L"check sign fail, signType[Another Signer Ltd.], filepath[" + tool + L"]"), 1u);
  EXPECT_EQ(log.Count(L"file[" + (install / L"missing.exe") + L"] is not exist"), 1u);
}

TEST(RundllUnregistrations, TheSignedHostOfTheSystemsBitnessGetsEachLibrary) {
  for (const bool is64 : {true, false}) {
    TempFolder install;
    const std::wstring host = install / (is64 ? L"Utils\\rundll64.exe" : L"Utils\\rundll.exe");
    const std::wstring otherHost = install / (is64 ? L"Utils\\rundll.exe" : L"Utils\\rundll64.exe");
    const std::wstring library = install / L"shell\\ext.dll";
    ASSERT_TRUE(PlaceFixture(L"recorder_accepted.exe", host));
    ASSERT_TRUE(PlaceFixture(L"recorder_accepted.exe", otherHost));
    ASSERT_TRUE(lumo::test::MakeFile(library));
    RundllRecord present{}, missing{};
    wcscpy(present.fileName, L"shell\\ext.dll");
    wcscpy(present.entry, L"DllUnregisterServer");
    wcscpy(present.cmdline, L"/s");
    present.waitTime = 30000;
    wcscpy(missing.fileName, L"shell\\gone.dll");
    LogCapture log;
    RunRundllUnregistrations({present, missing}, install.path(), is64);
    const std::wstring parameters = L"--dll=\"" + library + L"\" --entry=DllUnregisterServer /s";
    EXPECT_EQ(RecordOf(host), L"\"" + host + L"\" " + parameters + L"\n");
    EXPECT_EQ(RecordOf(otherHost), L"");
    EXPECT_EQ(log.Count(L"call exe return [1], path=[" + host + L"], cmd=[" + parameters + L"], sync[1]"), 1u);
    EXPECT_EQ(log.Count(L"file[" + (install / L"shell\\gone.dll") + L"] is not exist"), 1u);
  }
}

TEST(RundllUnregistrations, AnUnsignedHostSkipsTheStepSilently) {
  TempFolder install;
  const std::wstring host = install / L"Utils\\rundll64.exe";
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", host));
  RundllRecord missing{};
  wcscpy(missing.fileName, L"gone.dll");
  LogCapture log;
  RunRundllUnregistrations({missing}, install.path(), true);
  EXPECT_EQ(RecordOf(host), L"");
  EXPECT_EQ(log.Text(), L"");
}

const wchar_t kLauncherKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DEDEvazevudiVevede.exe";

TEST(PluginTask, RunsTheRegisteredLauncherWithTheStoredParameters) {
  TempFolder install;
  const std::wstring launcher = install / L"plugins\\launcher.exe";
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", launcher));  // no signature asked for
  ASSERT_TRUE(lumo::test::WriteUtf16File(install / L"config.set",
                                         L"[plugin_nx]\r\nuninstall_cmd_param=--remove all\r\n"));
  ScopedHookKey key(kLauncherKey);
  ASSERT_TRUE(key.SetText(L"Launcher", launcher));
  LogCapture log;
  CPluginTask task;
  task.StartTask(install.path());
  EXPECT_EQ(RecordOf(launcher), L"\"" + launcher + L"\" --remove all\n");
  EXPECT_EQ(log.Count(L"CPluginTask::StartTask result=1 code=3"), 1u);
  EXPECT_EQ(task.CommandParameters(), L"--remove all");
}

TEST(PluginTask, WithoutParametersNothingStartsAndTheResultIsStillLogged) {
  TempFolder install;
  const std::wstring launcher = install / L"launcher.exe";
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", launcher));
  ASSERT_TRUE(lumo::test::WriteUtf16File(install / L"config.set", L"[plugin_nx]\r\nuninstall_cmd_param=\r\n"));
  ScopedHookKey key(kLauncherKey);
  ASSERT_TRUE(key.SetText(L"Launcher", launcher));
  LogCapture log;
  CPluginTask task;
  task.StartTask(install.path());
  EXPECT_EQ(RecordOf(launcher), L"");
  EXPECT_EQ(log.Count(L"CPluginTask::StartTask result=0 code=-1"), 1u);
}

TEST(RunListHooks, RegtestSkipsTheSignatureAndLibrariesAreAskedTwice) {
  TempFolder install;
  const std::wstring library = install / L"hook.dll";
  const std::wstring regtest = install / L"regtest.exe";
  const std::wstring plain = install / L"plain.exe";
  const std::wstring unsignedLibrary = install / L"plain.tpi";
  ASSERT_TRUE(PlaceFixture(L"interface_library_accepted.dll", library));
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", regtest));
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", plain));
  ASSERT_TRUE(PlaceFixture(L"interface_library_unsigned.dll", unsignedLibrary));
  ASSERT_TRUE(lumo::test::MakeFile(install / L"notes.txt"));
  ScopedHookKey key(kRunListKey);
  ASSERT_TRUE(key.SetText(L"hook.dll", L"lib arg"));
  ASSERT_TRUE(key.SetText(L"regtest.exe", L"/Regtest go"));
  ASSERT_TRUE(key.SetText(L"plain.exe", L"go"));
  ASSERT_TRUE(key.SetText(L"plain.tpi", L"tpi arg"));
  ASSERT_TRUE(key.SetText(L"notes.txt", L""));
  ASSERT_TRUE(key.SetText(L"missing.exe", L"/Regtest"));
  LogCapture log;
  RunRunListHooks(install.path());

  EXPECT_EQ(RecordOf(library), L"[lib arg] 260\n[lib arg] 6\n");
  EXPECT_EQ(log.Count(L"CallDllInterfaceEx return value=ready"), 1u);
  const std::wstring product = L" --PRODUCT=" + GetProductTypeName(0) + L" --PID=" + GetProductPid(0);
  EXPECT_EQ(RecordOf(regtest), L"\"" + regtest + L"\" /Regtest go" + product + L"\n");
  EXPECT_EQ(log.Count(L"Regtest, no need to check sign."), 1u);
  EXPECT_EQ(RecordOf(plain), L"");  // refused by the launcher, no line of its own
  EXPECT_EQ(log.Count(L"call exe begin, path=[" + plain + L"] ,cmd=[go" + product + L"]"), 1u);
  EXPECT_EQ(RecordOf(unsignedLibrary), L"");
  EXPECT_EQ(log.Count(L"file[" + unsignedLibrary + L"] check sign fail"), 1u);
  EXPECT_EQ(log.Count(L"file extension:.txt"), 1u);
  EXPECT_EQ(log.Text().find(L"missing.exe"), std::wstring::npos);
}

TEST(FilePeHooks, SignedLibrariesAndProgramsGetTheirTexts) {
  TempFolder install;
  const std::wstring library = install / L"pe\\hook.dll";
  const std::wstring refused = install / L"pe\\bad.dll";
  const std::wstring program = install / L"pe\\tool.exe";
  ASSERT_TRUE(PlaceFixture(L"hook_library_accepted.dll", library));
  ASSERT_TRUE(PlaceFixture(L"hook_library_unsigned.dll", refused));
  ASSERT_TRUE(PlaceFixture(L"recorder_accepted.exe", program));
  ScopedHookKey key(kFilePeKey);
  ASSERT_TRUE(key.SetText(L"pe\\hook.dll", L"text one"));
  ASSERT_TRUE(key.SetText(L"pe\\bad.dll", L"x"));
  ASSERT_TRUE(key.SetText(L"pe\\tool.exe", L"t"));
  LogCapture log;
  RunFilePeHooks(install.path());
  EXPECT_EQ(RecordOf(library), L"Uninst [text one]\n");
  EXPECT_EQ(RecordOf(refused), L"");
  EXPECT_EQ(log.Count(L"file[" + refused + L"] check sign fail."), 1u);
  EXPECT_EQ(RecordOf(program), L"\"" + program + L"\" t /uninstall /product=lumo\n");
  EXPECT_EQ(log.Count(L"call exe return [1], path=[" + program + L"], cmd=[t /uninstall /product=lumo], sync[1]"),
            1u);
}

TEST(HelperModule, OnlyASignedModuleIsCalled) {
  for (const bool isSigned : {true, false}) {
    TempFolder install;
    const std::wstring module = install / L"wallpaperhelper\\Machiro12.dll";
    ASSERT_TRUE(PlaceFixture(isSigned ? L"hook_library_accepted.dll" : L"hook_library_unsigned.dll", module));
    LogCapture log;
    CallHelperModule(install.path());
    EXPECT_EQ(RecordOf(module), isSigned ? L"Uninst []\n" : L"");
    EXPECT_EQ(log.Count(L"file[" + module + L"] check sign fail."), isSigned ? 0u : 1u);
  }
}

TEST(GuardHelper, StartsOnlyASignedHelperWithItsOwnPath) {
  for (const bool isSigned : {true, false}) {
    TempFolder install;
    const std::wstring helper = install / L"wallpaperhelper\\guardhp.exe";
    ASSERT_TRUE(PlaceFixture(isSigned ? L"recorder_accepted.exe" : L"recorder_unsigned.exe", helper));
    RunGuardHelper(install.path());
    const std::wstring expected =
        L"\"" + helper + L"\" /UnInstallDesk /LockHomePagePath=\"" + helper + L"\" /Pid=kesto\n";
    EXPECT_EQ(RecordOf(helper), isSigned ? expected : L"");
  }
}

}  // namespace
