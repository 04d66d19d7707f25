#pragma once
// What the engine's tests stand in for the progress window with: a callback
// that records each call with its thread, and a pump that serves the
// engine's blocking UI-thread calls while the test waits.
#include <windows.h>

#include <string>
#include <vector>

#include "base/Handles.h"
#include "engine/UninstallCallback.h"

namespace lumo::test {

class RecordingCallback : public IUninstallCallback {
 public:
  RecordingCallback() : done_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  void OnUninstallStart() override { Record("start"); }
  void OnProgress(int percent) override {
    Record("progress");
    progress.push_back(percent);
  }
  void OnUninstallEnd() override { Record("end"); }
  void OnRealInstallEnd() override {
    Record("real-end");
    ::SetEvent(done_.get());
  }
  HANDLE Done() const { return done_.get(); }

  std::vector<std::string> events;
  std::vector<DWORD> threads;
  std::vector<int> progress;

 private:
  void Record(const char* event) {
    events.push_back(event);
    threads.push_back(::GetCurrentThreadId());
  }
  UniqueHandle done_;
};

// Dispatches messages until the handle is signalled or the time runs out.
inline bool PumpUntil(HANDLE handle, DWORD timeoutMs) {
  const DWORD deadline = ::GetTickCount() + timeoutMs;
  for (;;) {
    const DWORD now = ::GetTickCount();
    if (static_cast<LONG>(deadline - now) <= 0) return false;
    if (::MsgWaitForMultipleObjects(1, &handle, FALSE, deadline - now, QS_ALLINPUT) == WAIT_OBJECT_0) return true;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
}

}  // namespace lumo::test
