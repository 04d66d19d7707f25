#include "base/XThread.h"

#include <objbase.h>
#include <process.h>

#include <new>

struct CXThread::State {
  volatile LONG initialised = 0;
  volatile LONG running = 0;
  volatile INT_PTR param = 0;
  IThreadCallback* callback = nullptr;
  HANDLE startEvent = nullptr;     // auto-reset
  HANDLE shutdownEvent = nullptr;  // manual-reset
  ~State() {
    if (startEvent) ::CloseHandle(startEvent);
    if (shutdownEvent) ::CloseHandle(shutdownEvent);
  }
};

CXThread::CXThread(DWORD shutdownWaitMs)
    : state_(std::make_shared<State>()), shutdownWaitMs_(shutdownWaitMs) {}

CXThread::~CXThread() {
  if (!thread_) return;
  ::SetEvent(state_->shutdownEvent);
  // A job that outlasts the wait keeps its own reference to the state.
  ::WaitForSingleObject(thread_, shutdownWaitMs_);
  ::CloseHandle(thread_);
}

bool CXThread::IsRunning() const { return ::InterlockedCompareExchange(&state_->running, 0, 0) == 1; }

bool CXThread::Start(INT_PTR param, IThreadCallback* callback) {
  State& state = *state_;
  if (IsRunning()) return false;
  if (::InterlockedCompareExchange(&state.initialised, 0, 0) == 0) {
    state.shutdownEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    state.startEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!state.shutdownEvent || !state.startEvent) return false;
    state.callback = callback;
    auto* ref = new (std::nothrow) std::shared_ptr<State>(state_);
    if (!ref) return false;
    thread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &WorkerMain, ref, 0, nullptr));
    if (!thread_) {
      delete ref;
      return false;
    }
    ::InterlockedExchange(&state.initialised, 1);
  }
  state.param = param;
  ::SetEvent(state.startEvent);
  return true;
}

unsigned __stdcall CXThread::WorkerMain(void* arg) {
  std::unique_ptr<std::shared_ptr<State>> ref(static_cast<std::shared_ptr<State>*>(arg));
  State& state = **ref;
  const HANDLE events[2] = {state.shutdownEvent, state.startEvent};
  for (;;) {
    const DWORD which = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
    if (which != WAIT_OBJECT_0 + 1) break;  // shutdown, or the wait failed
    Execute(state);
  }
  return 0;
}

void CXThread::Execute(State& state) {
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ::InterlockedExchange(&state.running, 1);
  if (state.callback) state.callback->Run(state.param);
  ::InterlockedExchange(&state.running, 0);
  if (SUCCEEDED(com)) ::CoUninitialize();
}
