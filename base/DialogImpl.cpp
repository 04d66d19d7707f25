#include "base/DialogImpl.h"

#include "base/AppModule.h"

namespace lumo {

namespace {
// The window property that links a dialog window to its object.
const wchar_t kObjectProperty[] = L"Lumo.DialogImpl";

// Messages whose result a dialog procedure returns itself instead of
// storing it in DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg) {
  switch (msg) {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}
}  // namespace

CDialogImplBase::~CDialogImplBase() {
  // The dialog must not outlive the object its procedure points to.
  if (IsWindow()) {
    ::RemovePropW(m_hWnd, kObjectProperty);
    ::DestroyWindow(m_hWnd);
  }
}

INT_PTR CDialogImplBase::DoModal(HWND owner, UINT templateId, HINSTANCE instance) {
  if (m_hWnd) return -1;
  if (!instance) instance = AppModule().GetModuleInstance();
  return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner,
                           &CDialogImplBase::DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialogImplBase::EndDialog(INT_PTR result) {
  return IsWindow() ? ::EndDialog(m_hWnd, result) : FALSE;
}

bool CDialogImplBase::CenterWindow(HWND over) {
  if (!IsWindow()) return false;
  if (!over) over = ::GetWindow(m_hWnd, GW_OWNER);
  RECT area{};
  if (over && ::IsWindowVisible(over) && !::IsIconic(over)) {
    ::GetWindowRect(over, &area);
  } else {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &info))
      return false;
    area = info.rcWork;
  }
  RECT self{};
  ::GetWindowRect(m_hWnd, &self);
  const int width = self.right - self.left, height = self.bottom - self.top;
  const int x = area.left + ((area.right - area.left) - width) / 2;
  const int y = area.top + ((area.bottom - area.top) - height) / 2;
  return ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

CDialogImplBase* CDialogImplBase::FromHandle(HWND dialog) {
  return dialog ? static_cast<CDialogImplBase*>(::GetPropW(dialog, kObjectProperty)) : nullptr;
}

INT_PTR CALLBACK CDialogImplBase::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = FromHandle(hwnd);
  if (!self && msg == WM_INITDIALOG) {
    self = reinterpret_cast<CDialogImplBase*>(lParam);
    if (self) {
      self->m_hWnd = hwnd;
      ::SetPropW(hwnd, kObjectProperty, self);
    }
  }
  if (!self) return FALSE;

  LRESULT result = 0;
  const BOOL handled = self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result, 0);
  if (msg == WM_NCDESTROY) {
    ::RemovePropW(hwnd, kObjectProperty);
    self->m_hWnd = nullptr;
  }
  if (!handled) return FALSE;
  if (ReturnsResultDirectly(msg)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace lumo
