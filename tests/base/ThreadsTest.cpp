#include <windows.h>
#include <objbase.h>

#include <atomic>

#include <gtest/gtest.h>

#include "base/SimpleBind.h"
#include "base/SimpleThread.h"
#include "base/UIThreadWindow.h"
#include "base/XThread.h"

namespace {

// Pumps messages (so that sends from other threads are served) until the
// handle is signalled or the time runs out.
bool PumpUntil(HANDLE handle, DWORD timeoutMs) {
  const DWORD deadline = ::GetTickCount() + timeoutMs;
  for (;;) {
    const DWORD now = ::GetTickCount();
    if (static_cast<LONG>(deadline - now) <= 0) return false;
    const DWORD r = ::MsgWaitForMultipleObjects(1, &handle, FALSE, deadline - now, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) return true;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
}

struct Recorder {
  DWORD threadId = 0;
  int calls = 0;
  int lastArgument = 0;
  void Record() {
    threadId = ::GetCurrentThreadId();
    ++calls;
  }
  void RecordWith(int argument) {
    Record();
    lastArgument = argument;
  }
};

TEST(SimpleBind, InvokesTheBoundMemberWithItsArgument) {
  Recorder recorder;
  mf_bind_t<Recorder, Recorder*, void> plain(&Recorder::Record, &recorder);
  mf_bind_t_1<Recorder, Recorder*, void, int> withArgument(&Recorder::RecordWith, &recorder, 42);
  ISimpleBind* calls[] = {&plain, &withArgument};
  for (ISimpleBind* call : calls) call->Invoke();
  EXPECT_EQ(recorder.calls, 2);
  EXPECT_EQ(recorder.lastArgument, 42);
}

// Runs before any window exists; listed separately in ctest so that it gets a
// process of its own.
TEST(UIThreadWindowBeforeCreate, CallIsSkipped) {
  ASSERT_EQ(CUIThreadWindow::Instance(), nullptr);
  Recorder recorder;
  mf_bind_t<Recorder, Recorder*, void> call(&Recorder::Record, &recorder);
  CUIThreadWindow::CallOnUIThread(&call);
  EXPECT_EQ(recorder.calls, 0);
}

TEST(UIThreadWindow, CreateIsIdempotent) {
  ASSERT_TRUE(CUIThreadWindow::Create());
  CUIThreadWindow* first = CUIThreadWindow::Instance();
  ASSERT_TRUE(CUIThreadWindow::Create());
  EXPECT_EQ(CUIThreadWindow::Instance(), first);
  EXPECT_FALSE(::IsWindowVisible(first->m_hWnd));
  EXPECT_EQ(::GetWindowLongW(first->m_hWnd, GWL_STYLE) & WS_POPUP, static_cast<LONG>(WS_POPUP));
}

TEST(UIThreadWindow, WorkerCallRunsOnUiThreadAndBlocksUntilDone) {
  ASSERT_TRUE(CUIThreadWindow::Create());
  struct Job {
    Recorder recorder;
    int seenAfterSend = -1;
  } job;
  HANDLE worker = ::CreateThread(
      nullptr, 0,
      [](void* p) -> DWORD {
        auto* j = static_cast<Job*>(p);
        // The bound call lives on this worker's stack, as the engine's do.
        mf_bind_t_1<Recorder, Recorder*, void, int> call(&Recorder::RecordWith, &j->recorder, 7);
        CUIThreadWindow::CallOnUIThread(&call);
        j->seenAfterSend = j->recorder.calls;
        return 0;
      },
      &job, 0, nullptr);
  ASSERT_TRUE(PumpUntil(worker, 10000));
  ::CloseHandle(worker);
  EXPECT_EQ(job.recorder.threadId, ::GetCurrentThreadId());
  EXPECT_EQ(job.recorder.lastArgument, 7);
  EXPECT_EQ(job.seenAfterSend, 1);
}

TEST(UIThreadWindow, CallFromUiThreadRunsAtOnce) {
  ASSERT_TRUE(CUIThreadWindow::Create());
  Recorder recorder;
  mf_bind_t<Recorder, Recorder*, void> call(&Recorder::Record, &recorder);
  CUIThreadWindow::CallOnUIThread(&call);
  EXPECT_EQ(recorder.calls, 1);
  EXPECT_EQ(recorder.threadId, ::GetCurrentThreadId());
}

class GatedCallback : public IThreadCallback {
 public:
  GatedCallback() : entered_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
                    gate_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
                    finished_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~GatedCallback() {
    ::CloseHandle(entered_);
    ::CloseHandle(gate_);
    ::CloseHandle(finished_);
  }
  void Run(INT_PTR param) override {
    params.push_back(param);
    comInApartment = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) == S_FALSE;
    ::CoUninitialize();
    threadId = ::GetCurrentThreadId();
    ::SetEvent(entered_);
    ::WaitForSingleObject(gate_, INFINITE);
    ::SetEvent(finished_);
  }
  bool WaitEntered() { return ::WaitForSingleObject(entered_, 10000) == WAIT_OBJECT_0; }
  bool WaitFinished() { return ::WaitForSingleObject(finished_, 10000) == WAIT_OBJECT_0; }
  void Open() { ::SetEvent(gate_); }

  std::vector<INT_PTR> params;
  bool comInApartment = false;
  DWORD threadId = 0;

 private:
  HANDLE entered_, gate_, finished_;
};

bool WaitIdle(const CXThread& thread) {
  for (int i = 0; i < 1000 && thread.IsRunning(); ++i) ::Sleep(10);
  return !thread.IsRunning();
}

TEST(CXThread, RunsJobOnWorkerWithComAndRefusesOverlap) {
  GatedCallback callback;
  CXThread thread;
  ASSERT_TRUE(thread.Start(11, &callback));
  ASSERT_TRUE(callback.WaitEntered());
  EXPECT_NE(callback.threadId, ::GetCurrentThreadId());
  EXPECT_TRUE(callback.comInApartment);
  EXPECT_TRUE(thread.IsRunning());

  EXPECT_FALSE(thread.Start(22, &callback));  // a job is running
  callback.Open();
  ASSERT_TRUE(callback.WaitFinished());
  ASSERT_TRUE(WaitIdle(thread));
  EXPECT_EQ(callback.params, std::vector<INT_PTR>({11}));
}

TEST(CXThread, RestartKeepsTheFirstCallback) {
  GatedCallback first, second;
  first.Open();
  second.Open();
  CXThread thread;
  ASSERT_TRUE(thread.Start(1, &first));
  ASSERT_TRUE(first.WaitFinished());
  ASSERT_TRUE(WaitIdle(thread));
  ASSERT_TRUE(thread.Start(2, &second));
  ASSERT_TRUE(first.WaitFinished());
  EXPECT_EQ(first.params, std::vector<INT_PTR>({1, 2}));
  EXPECT_TRUE(second.params.empty());
}

TEST(CXThread, DestructionGivesUpOnAJobThatDoesNotEnd) {
  auto callback = std::make_unique<GatedCallback>();
  {
    CXThread thread(100);
    ASSERT_TRUE(thread.Start(5, callback.get()));
    ASSERT_TRUE(callback->WaitEntered());
  }  // returns after the shorter wait, job still blocked
  callback->Open();  // the job now finishes against state it still owns
  ASSERT_TRUE(callback->WaitFinished());
  ::Sleep(50);
}

TEST(CSimpleThread, StartsRoutineAndReportsItsId) {
  struct Data {
    std::atomic<DWORD> threadId{0};
  } data;
  CSimpleThread thread;
  EXPECT_EQ(thread.ThreadId(), static_cast<unsigned>(-1));
  HANDLE handle = thread.Start(
      [](void* p) -> unsigned {
        static_cast<Data*>(p)->threadId = ::GetCurrentThreadId();
        return 0;
      },
      &data);
  ASSERT_NE(handle, nullptr);
  ASSERT_EQ(::WaitForSingleObject(handle, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(data.threadId.load(), thread.ThreadId());
  EXPECT_EQ(thread.Start([](void*) -> unsigned { return 0; }, nullptr), nullptr);  // one thread per object
}

}  // namespace
