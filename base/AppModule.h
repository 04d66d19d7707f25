#pragma once
#include <windows.h>

#include <map>

#include "base/Locks.h"

namespace lumo {

class CMessageLoop;

// The application module: the instance handle and the registry of message
// loops, one per thread, so that windows can find the loop of their thread
// (to add message filters and idle handlers).
class CAppModule {
 public:
  bool Init(HINSTANCE instance);
  void Term();
  HINSTANCE GetModuleInstance() const { return instance_ ? instance_ : ::GetModuleHandleW(nullptr); }

  bool AddMessageLoop(CMessageLoop* loop);  // for the calling thread
  bool RemoveMessageLoop();                 // of the calling thread
  CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId());

 private:
  HINSTANCE instance_ = nullptr;
  _BaseModule::CCriticalSection lock_;
  std::map<DWORD, CMessageLoop*> loops_;
};

CAppModule& AppModule();

}  // namespace lumo
