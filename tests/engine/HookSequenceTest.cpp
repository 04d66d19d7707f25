// The hooks and the process shutdown in their places of the run sequence.
#include <windows.h>

#include <gtest/gtest.h>

#include "RemovalSupport.h"
#include "ShutdownSupport.h"
#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/Uninstaller.h"
#include "setupconfig/SetupConfig.h"

namespace {

using namespace lumo::test;

// Without a UI-thread window the engine skips every call but the last one,
// which only tells the test that the run is over.
class EndSignal : public IUninstallCallback {
 public:
  void OnUninstallStart() override {}
  void OnProgress(int) override {}
  void OnUninstallEnd() override {}
  void OnRealInstallEnd() override { ::SetEvent(done_.get()); }
  HANDLE done() const { return done_.get(); }

 private:
  lumo::UniqueHandle done_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

size_t LineAt(const std::wstring& log, const std::wstring& line) { return log.find(line); }

TEST(RunSequence, HooksAndShutdownRunInTheirSteps) {
  TempFolder install;
  const std::wstring helperModule = install / L"wallpaperhelper\\Machiro12.dll";
  const std::wstring mainProgram = install / L"kestowp.exe";
  ASSERT_TRUE(PlaceFixture(L"hook_library_accepted.dll", helperModule));
  ASSERT_TRUE(PlaceFixture(L"recorder_unsigned.exe", mainProgram));
  ASSERT_TRUE(WriteUtf16File(install / L"config.set", L"[plugin_nx]\r\nuninstall_cmd_param=\r\n"));
  StayingProgram running(mainProgram);
  ASSERT_TRUE(running.ready());

  CSetupConfig config;
  CUninstaller engine(config);
  engine.SetInstallDir(install.path().c_str());
  LogCapture log;
  PendingRenames pending;  // whatever the run schedules for a restart is put back
  EndSignal end;
  engine.Start(&end);
  ASSERT_EQ(::WaitForSingleObject(end.done(), 120000), WAIT_OBJECT_0);

  EXPECT_EQ(running.ExitCode(), 0u);
  const std::wstring text = log.Text();
  const size_t order[] = {
      LineAt(text, L"start call program"),
      LineAt(text, L"CPluginTask::StartTask result=0 code=-1"),
      LineAt(text, L"start close all processes"),
      LineAt(text, L"enter KillProcessesInInstallPath szTargetDir=" + install.path()),
      LineAt(text, L"Kill process: " + lumo::ToUpper(mainProgram)),
      LineAt(text, L"end KillProcessesInInstallPath"),
      LineAt(text, L"call dll func start, path=[" + helperModule + L"]"),
      LineAt(text, L"remove desktop shortcuts"),
  };
  for (size_t i = 0; i < sizeof(order) / sizeof(order[0]); ++i) {
    ASSERT_NE(order[i], std::wstring::npos) << i << L"\n" << text;
    if (i > 0) {
      EXPECT_LT(order[i - 1], order[i]) << i;
    }
  }
}

}  // namespace
