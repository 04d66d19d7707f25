#include "base/SimpleThread.h"

#include <process.h>

CSimpleThread::~CSimpleThread() {
  if (handle_) ::CloseHandle(handle_);
  handle_ = nullptr;
  threadId_ = static_cast<unsigned>(-1);
}

HANDLE CSimpleThread::Start(Routine routine, void* param) {
  if (handle_ || !routine) return nullptr;
  routine_ = routine;
  unsigned id = 0;
  handle_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, routine, param, 0, &id));
  if (handle_) threadId_ = id;
  (void)reserved_;
  return handle_;
}
