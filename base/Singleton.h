#pragma once
#include <windows.h>
#include <new>

#include "base/Locks.h"

namespace lumo::detail {
// A system critical section that is ready before the entry point runs.
struct StaticCriticalSection {
  StaticCriticalSection() { ::InitializeCriticalSection(&section); }
  ~StaticCriticalSection() { ::DeleteCriticalSection(&section); }
  CRITICAL_SECTION section;
};
}  // namespace lumo::detail

// One process-wide instance of T, created on first use and never destroyed.
template <typename T>
class CSingletonT {
 public:
  static T* Instance() {
    if (!guard_) CreateGuard();
    if (!guard_) return nullptr;
    if (instance_) return instance_;
    _BaseModule::CAutoLocker lock(guard_);
    if (!instance_) instance_ = new (std::nothrow) T();
    return instance_;
  }

 private:
  static void CreateGuard() {
    ::EnterCriticalSection(&static_section_.section);
    if (!guard_) guard_ = new (std::nothrow) _BaseModule::CCriticalSection();
    ::LeaveCriticalSection(&static_section_.section);
  }

  static lumo::detail::StaticCriticalSection static_section_;
  static _BaseModule::CCriticalSection* volatile guard_;
  static T* volatile instance_;
};

template <typename T>
lumo::detail::StaticCriticalSection CSingletonT<T>::static_section_;
template <typename T>
_BaseModule::CCriticalSection* volatile CSingletonT<T>::guard_ = nullptr;
template <typename T>
T* volatile CSingletonT<T>::instance_ = nullptr;
