#include "base/AppModule.h"

namespace lumo {

CAppModule& AppModule() {
  static CAppModule module;
  return module;
}

bool CAppModule::Init(HINSTANCE instance) {
  instance_ = instance;
  return true;
}

// Releases the loop registry; the windows themselves belong to their owners.
void CAppModule::Term() {
  _BaseModule::CAutoLocker guard(&lock_);
  loops_.clear();
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop) {
  if (!loop) return false;
  _BaseModule::CAutoLocker guard(&lock_);
  return loops_.emplace(::GetCurrentThreadId(), loop).second;
}

bool CAppModule::RemoveMessageLoop() {
  _BaseModule::CAutoLocker guard(&lock_);
  return loops_.erase(::GetCurrentThreadId()) == 1;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) {
  _BaseModule::CAutoLocker guard(&lock_);
  auto it = loops_.find(threadId);
  return it == loops_.end() ? nullptr : it->second;
}

}  // namespace lumo
