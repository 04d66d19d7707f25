#include "layerui/EditEx.h"

namespace {
constexpr COLORREF kPlaceholderColor = RGB(0xD7, 0xD7, 0xD7);
}

bool CEditEx::ShowsPlaceholder() const {
  return GetWindowTextLength() == 0 && !placeholder_.empty() &&
         (::GetFocus() != m_hWnd || placeholderWhenFocused_);
}

LRESULT CEditEx::OnPaint(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (!ShowsPlaceholder()) {
    handled = FALSE;  // the system draws the text and the caret
    return 0;
  }
  PaintPlaceholder();
  return 0;
}

void CEditEx::PaintPlaceholder() {
  PAINTSTRUCT paint{};
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  RECT client{};
  ::GetClientRect(m_hWnd, &client);
  const int saved = ::SaveDC(dc);
  HFONT font = GetFont();
  ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  HWND parent = ::GetParent(m_hWnd);
  auto brush = reinterpret_cast<HBRUSH>(
      parent ? ::SendMessageW(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(m_hWnd))
             : 0);
  if (brush) ::FillRect(dc, &client, brush);
  ::SetTextColor(dc, kPlaceholderColor);
  ::DrawTextW(dc, placeholder_.c_str(), static_cast<int>(placeholder_.size()), &client, DT_VCENTER);
  ::RestoreDC(dc, saved);
  ::EndPaint(m_hWnd, &paint);
}

LRESULT CEditEx::OnChar(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam != VK_RETURN) {
    handled = FALSE;
    return 0;
  }
  if (onEnter_) onEnter_();
  return 0;
}

LRESULT CEditEx::OnKillFocus(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (GetWindowTextLength() == 0) ::ShowWindow(m_hWnd, SW_HIDE);
  return DefWindowProc(msg, wParam, lParam);
}
