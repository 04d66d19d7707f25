#pragma once
// Small move-only owners for the system handles the program holds. Each
// traits type knows the handle's "empty" value and how to give it back.
#include <windows.h>
#include <objbase.h>
#include <winsvc.h>
#include <utility>

namespace lumo {

template <typename Traits>
class UniqueResource {
 public:
  using Handle = typename Traits::Type;

  UniqueResource() noexcept : handle_(Traits::Empty()) {}
  explicit UniqueResource(Handle h) noexcept : handle_(h) {}
  ~UniqueResource() { reset(); }

  UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Handle get() const noexcept { return handle_; }
  bool valid() const noexcept { return handle_ != Traits::Empty(); }
  explicit operator bool() const noexcept { return valid(); }

  // Gives the handle up without closing it.
  Handle release() noexcept {
    Handle h = handle_;
    handle_ = Traits::Empty();
    return h;
  }
  void reset(Handle h = Traits::Empty()) noexcept {
    if (handle_ != Traits::Empty()) Traits::Close(handle_);
    handle_ = h;
  }
  // For out-parameters: closes what is held and hands out the slot.
  Handle* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  Handle handle_;
};

namespace traits {
struct Handle {  // events, threads, processes, mutexes: empty is null
  using Type = HANDLE;
  static HANDLE Empty() { return nullptr; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct File {  // CreateFile and friends: empty is INVALID_HANDLE_VALUE
  using Type = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct Find {
  using Type = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};
struct Hkey {
  using Type = HKEY;
  static HKEY Empty() { return nullptr; }
  static void Close(HKEY h) { ::RegCloseKey(h); }
};
struct Module {
  using Type = HMODULE;
  static HMODULE Empty() { return nullptr; }
  static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct MemoryDc {  // CreateCompatibleDC
  using Type = HDC;
  static HDC Empty() { return nullptr; }
  static void Close(HDC h) { ::DeleteDC(h); }
};
struct GdiObject {  // bitmaps, fonts, brushes, regions
  using Type = HGDIOBJ;
  static HGDIOBJ Empty() { return nullptr; }
  static void Close(HGDIOBJ h) { ::DeleteObject(h); }
};
struct Bitmap {
  using Type = HBITMAP;
  static HBITMAP Empty() { return nullptr; }
  static void Close(HBITMAP h) { ::DeleteObject(h); }
};
struct LocalMemory {  // LocalAlloc, CommandLineToArgvW, FormatMessage
  using Type = HLOCAL;
  static HLOCAL Empty() { return nullptr; }
  static void Close(HLOCAL h) { ::LocalFree(h); }
};
struct CoTaskMemory {
  using Type = void*;
  static void* Empty() { return nullptr; }
  static void Close(void* p) { ::CoTaskMemFree(p); }
};
struct ServiceHandle {
  using Type = SC_HANDLE;
  static SC_HANDLE Empty() { return nullptr; }
  static void Close(SC_HANDLE h) { ::CloseServiceHandle(h); }
};
struct Window {
  using Type = HWND;
  static HWND Empty() { return nullptr; }
  static void Close(HWND h) { ::DestroyWindow(h); }
};
}  // namespace traits

using UniqueHandle = UniqueResource<traits::Handle>;
using UniqueFile = UniqueResource<traits::File>;
using UniqueFindHandle = UniqueResource<traits::Find>;
using UniqueHkey = UniqueResource<traits::Hkey>;
using UniqueModule = UniqueResource<traits::Module>;
using UniqueMemoryDc = UniqueResource<traits::MemoryDc>;
using UniqueGdiObject = UniqueResource<traits::GdiObject>;
using UniqueBitmap = UniqueResource<traits::Bitmap>;
using UniqueLocalMemory = UniqueResource<traits::LocalMemory>;
using UniqueCoTaskMemory = UniqueResource<traits::CoTaskMemory>;
using UniqueServiceHandle = UniqueResource<traits::ServiceHandle>;
using UniqueWindow = UniqueResource<traits::Window>;

// A window DC must go back to its window, so it carries the window along.
class UniqueWindowDc {
 public:
  UniqueWindowDc() noexcept = default;
  UniqueWindowDc(HWND hwnd, HDC dc) noexcept : hwnd_(hwnd), dc_(dc) {}
  ~UniqueWindowDc() { reset(); }
  UniqueWindowDc(UniqueWindowDc&& o) noexcept
      : hwnd_(std::exchange(o.hwnd_, nullptr)), dc_(std::exchange(o.dc_, nullptr)) {}
  UniqueWindowDc& operator=(UniqueWindowDc&& o) noexcept {
    if (this != &o) {
      reset();
      hwnd_ = std::exchange(o.hwnd_, nullptr);
      dc_ = std::exchange(o.dc_, nullptr);
    }
    return *this;
  }
  UniqueWindowDc(const UniqueWindowDc&) = delete;
  UniqueWindowDc& operator=(const UniqueWindowDc&) = delete;

  static UniqueWindowDc Get(HWND hwnd) { return UniqueWindowDc(hwnd, ::GetDC(hwnd)); }
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }
  void reset() noexcept {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
    dc_ = nullptr;
    hwnd_ = nullptr;
  }

 private:
  HWND hwnd_ = nullptr;
  HDC dc_ = nullptr;
};

// Balances CoInitializeEx on the calling thread when the call succeeded.
class ScopedComInit {
 public:
  explicit ScopedComInit(DWORD model = COINIT_APARTMENTTHREADED) noexcept
      : ok_(SUCCEEDED(::CoInitializeEx(nullptr, model))) {}
  ~ScopedComInit() {
    if (ok_) ::CoUninitialize();
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;
  bool succeeded() const noexcept { return ok_; }

 private:
  bool ok_;
};

}  // namespace lumo
