#pragma once
#include <windows.h>

namespace _BaseModule {

class ILocker {
 public:
  virtual int Lock() = 0;
  virtual int Unlock() = 0;

 protected:
  ~ILocker() = default;
};

// Re-entrant for the owning thread, like the system critical section it wraps.
class CCriticalSection : public ILocker {
 public:
  CCriticalSection() { ::InitializeCriticalSection(&section_); }
  virtual ~CCriticalSection() { ::DeleteCriticalSection(&section_); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;

  int Lock() override {
    ::EnterCriticalSection(&section_);
    return 1;
  }
  int Unlock() override {
    ::LeaveCriticalSection(&section_);
    return 1;
  }

 private:
  CRITICAL_SECTION section_;
};

class CAutoLocker {
 public:
  explicit CAutoLocker(ILocker* locker) : locker_(locker) {
    if (locker_) locker_->Lock();
  }
  virtual ~CAutoLocker() {
    if (locker_) locker_->Unlock();
    locker_ = nullptr;
  }
  CAutoLocker(const CAutoLocker&) = delete;
  CAutoLocker& operator=(const CAutoLocker&) = delete;

 private:
  ILocker* locker_;
};

}  // namespace _BaseModule
