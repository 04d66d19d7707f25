#pragma once
#include <windows.h>

#include <new>

// A process-wide object built once on first use and never freed. The first
// caller moves the state word from 0 to 1 and builds the object; callers that
// arrive meanwhile sleep in 1 ms steps until the word reads 2. Unlike
// CSingletonT it needs no lock object, so it is safe before any other start-up.
template <typename T>
class static_singleton_base {
 public:
  // Null only when memory ran out during the build.
  static T* instance() {
    if (::InterlockedCompareExchange(&state_, 2, 2) == 2) return object_;
    if (::InterlockedCompareExchange(&state_, 1, 0) == 0) {
      object_ = new (std::nothrow) T();
      ::InterlockedExchange(&state_, 2);
    } else {
      while (::InterlockedCompareExchange(&state_, 2, 2) != 2) ::Sleep(1);
    }
    return object_;
  }

 protected:
  static_singleton_base() = default;
  ~static_singleton_base() = default;

 private:
  static volatile LONG state_;
  static T* object_;
};

template <typename T>
volatile LONG static_singleton_base<T>::state_ = 0;
template <typename T>
T* static_singleton_base<T>::object_ = nullptr;
