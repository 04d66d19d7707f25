#include "base/WindowImpl.h"

#include <cwchar>

#include "base/AppModule.h"
#include "base/Locks.h"

namespace lumo {

namespace {
_BaseModule::CCriticalSection& RegistrationLock() {
  static _BaseModule::CCriticalSection lock;
  return lock;
}
}  // namespace

CWindowImplBase::~CWindowImplBase() {
  // A window must not outlive the object its procedure points to.
  if (IsWindow()) {
    ::SetWindowLongPtrW(m_hWnd, 0, 0);
    ::DestroyWindow(m_hWnd);
  }
}

bool CWindowImplBase::RegisterClassOnce() {
  WindowClassInfo& info = GetWndClassInfo();
  _BaseModule::CAutoLocker guard(&RegistrationLock());
  if (info.atom) return true;
  const wchar_t* name = info.name;
  if (!name) {
    std::swprintf(info.generatedName, sizeof(info.generatedName) / sizeof(wchar_t), L"Lumo:%p",
                  static_cast<void*>(&info));
    name = info.generatedName;
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = info.style;
  wc.lpfnWndProc = &CWindowImplBase::WindowProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = AppModule().GetModuleInstance();
  wc.hCursor = info.cursor ? info.cursor : ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = info.background;
  wc.lpszClassName = name;
  info.atom = ::RegisterClassExW(&wc);
  if (!info.atom && ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    info.atom = static_cast<ATOM>(
        ::GetClassInfoExW(AppModule().GetModuleInstance(), name, &existing));
  }
  return info.atom != 0;
}

HWND CWindowImplBase::Create(HWND parent, const RECT* rect, const wchar_t* title, DWORD style,
                             DWORD exStyle, HMENU menuOrId) {
  if (m_hWnd || !RegisterClassOnce()) return nullptr;
  const WindowClassInfo& info = GetWndClassInfo();
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, cx = CW_USEDEFAULT, cy = CW_USEDEFAULT;
  if (rect) {
    x = rect->left;
    y = rect->top;
    cx = rect->right - rect->left;
    cy = rect->bottom - rect->top;
  }
  return ::CreateWindowExW(exStyle, MAKEINTATOM(info.atom), title ? title : L"", style, x, y, cx,
                           cy, parent, menuOrId, AppModule().GetModuleInstance(), this);
}

BOOL CWindowImplBase::DestroyWindow() { return IsWindow() ? ::DestroyWindow(m_hWnd) : FALSE; }

LRESULT CALLBACK CWindowImplBase::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CWindowImplBase*>(::GetWindowLongPtrW(hwnd, 0));
  if (!self && msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<CWindowImplBase*>(create->lpCreateParams);
    if (self) {
      self->m_hWnd = hwnd;
      ::SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(self));
    }
  }
  if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);

  LRESULT result = 0;
  if (!self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result, 0))
    result = ::DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, 0, 0);
    self->m_hWnd = nullptr;
    self->OnFinalMessage(hwnd);
  }
  return result;
}

}  // namespace lumo
