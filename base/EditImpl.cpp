#include "base/EditImpl.h"

#include "base/AppModule.h"
#include "base/Locks.h"

namespace lumo {

namespace {

const wchar_t kClassName[] = L"Lumo.Edit";
const wchar_t kObjectProperty[] = L"Lumo.EditImpl";

struct Superclass {
  ATOM atom = 0;
  WNDPROC systemProc = nullptr;
};

// Registers the superclass once per process; its procedure is ours, the
// rest (styles, cursor, extra bytes) is the system class's.
const Superclass& EditSuperclass(WNDPROC proc) {
  static _BaseModule::CCriticalSection lock;
  static Superclass superclass;
  _BaseModule::CAutoLocker guard(&lock);
  if (superclass.atom) return superclass;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(nullptr, L"EDIT", &wc)) return superclass;
  superclass.systemProc = wc.lpfnWndProc;
  wc.lpfnWndProc = proc;
  wc.hInstance = AppModule().GetModuleInstance();
  wc.lpszClassName = kClassName;
  superclass.atom = ::RegisterClassExW(&wc);
  if (!superclass.atom && ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    superclass.atom = static_cast<ATOM>(
        ::GetClassInfoExW(AppModule().GetModuleInstance(), kClassName, &existing));
  }
  return superclass;
}

}  // namespace

CEditImplBase::~CEditImplBase() {
  if (IsWindow()) {
    ::RemovePropW(m_hWnd, kObjectProperty);
    ::DestroyWindow(m_hWnd);
  }
}

HWND CEditImplBase::Create(HWND parent, const RECT& rect, UINT id, DWORD style, DWORD exStyle,
                           const wchar_t* text) {
  if (m_hWnd) return nullptr;
  const Superclass& superclass = EditSuperclass(&CEditImplBase::WindowProc);
  if (!superclass.atom) return nullptr;
  return ::CreateWindowExW(exStyle, MAKEINTATOM(superclass.atom), text ? text : L"", style,
                           rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                           AppModule().GetModuleInstance(), this);
}

LRESULT CEditImplBase::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(EditSuperclass(&CEditImplBase::WindowProc).systemProc, m_hWnd, msg,
                           wParam, lParam);
}

LRESULT CALLBACK CEditImplBase::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const WNDPROC systemProc = EditSuperclass(&CEditImplBase::WindowProc).systemProc;
  auto* self = static_cast<CEditImplBase*>(::GetPropW(hwnd, kObjectProperty));
  if (!self && msg == WM_NCCREATE) {
    self = static_cast<CEditImplBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (self) {
      self->m_hWnd = hwnd;
      ::SetPropW(hwnd, kObjectProperty, self);
    }
  }
  if (!self) return ::CallWindowProcW(systemProc, hwnd, msg, wParam, lParam);

  LRESULT result = 0;
  if (!self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result, 0))
    result = ::CallWindowProcW(systemProc, hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    ::RemovePropW(hwnd, kObjectProperty);
    self->m_hWnd = nullptr;
  }
  return result;
}

}  // namespace lumo
