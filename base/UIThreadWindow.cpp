#include "base/UIThreadWindow.h"

#include <new>

namespace {
CUIThreadWindow* volatile g_uiThreadWindow = nullptr;
}

CUIThreadWindow* CUIThreadWindow::Instance() { return g_uiThreadWindow; }

bool CUIThreadWindow::Create() {
  if (g_uiThreadWindow) return true;
  // Lives until the process ends, like the window it owns.
  auto* window = new (std::nothrow) CUIThreadWindow();
  if (!window) return false;
  g_uiThreadWindow = window;
  return window->CWindowImplBase::Create(nullptr, nullptr, L"", WS_POPUP) != nullptr;
}

void CUIThreadWindow::CallOnUIThread(ISimpleBind* call) {
  CUIThreadWindow* window = g_uiThreadWindow;
  if (!window || !window->m_hWnd) return;
  ::SendMessageW(window->m_hWnd, kCallMessage, reinterpret_cast<WPARAM>(call), 0);
}

LRESULT CUIThreadWindow::OnCall(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  auto* call = reinterpret_cast<ISimpleBind*>(wParam);
  if (!call) {
    handled = FALSE;
    return 0;
  }
  call->Invoke();
  return 1;
}
