#pragma once
#include <windows.h>

#include <memory>

class IThreadCallback {
 public:
  virtual void Run(INT_PTR param) = 0;

 protected:
  ~IThreadCallback() = default;
};

// A restartable worker: one thread that waits for a start signal and runs the
// stored callback once per start. Never runs two jobs at once.
class CXThread {
 public:
  static constexpr DWORD kShutdownWaitMs = 10000;

  // shutdownWaitMs: how long destruction waits for a running job.
  explicit CXThread(DWORD shutdownWaitMs = kShutdownWaitMs);
  ~CXThread();
  CXThread(const CXThread&) = delete;
  CXThread& operator=(const CXThread&) = delete;

  // False while a job runs or when the worker could not be prepared. The
  // callback passed on the first successful start is the one that stays.
  bool Start(INT_PTR param, IThreadCallback* callback);
  bool IsRunning() const;

 private:
  struct State;
  static unsigned __stdcall WorkerMain(void* arg);
  static void Execute(State& state);

  // Shared with the worker thread, so that a worker still busy after the
  // shutdown wait never touches freed memory.
  std::shared_ptr<State> state_;
  HANDLE thread_ = nullptr;
  DWORD shutdownWaitMs_;
};
