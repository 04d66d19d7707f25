#pragma once
#include <windows.h>

// A thin owner of one thread started through the C runtime.
class CSimpleThread {
 public:
  using Routine = unsigned(__stdcall*)(void*);

  CSimpleThread() = default;
  virtual ~CSimpleThread();
  CSimpleThread(const CSimpleThread&) = delete;
  CSimpleThread& operator=(const CSimpleThread&) = delete;

  // Starts routine(param); returns the thread handle, or null on failure.
  HANDLE Start(Routine routine, void* param);
  HANDLE Handle() const { return handle_; }
  unsigned ThreadId() const { return threadId_; }

 private:
  HANDLE handle_ = nullptr;
  unsigned threadId_ = static_cast<unsigned>(-1);
  int reserved_[3] = {0, 0, 0};
  Routine routine_ = nullptr;
};
