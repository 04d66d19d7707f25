#pragma once
#include <windows.h>

#include "base/WindowImpl.h"  // the message-map macros

namespace lumo {

// Base of the program's own edit boxes: a superclass of the system "EDIT"
// class whose messages go through the message map first (the same macros as
// CWindowImpl); unhandled messages reach the system edit procedure.
class CEditImplBase {
 public:
  HWND m_hWnd = nullptr;

  CEditImplBase() = default;
  virtual ~CEditImplBase();
  CEditImplBase(const CEditImplBase&) = delete;
  CEditImplBase& operator=(const CEditImplBase&) = delete;

  HWND Create(HWND parent, const RECT& rect, UINT id, DWORD style, DWORD exStyle = 0,
              const wchar_t* text = nullptr);
  bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
  BOOL DestroyWindow() { return IsWindow() ? ::DestroyWindow(m_hWnd) : FALSE; }

  // Thin wrappers of the edit messages the program uses.
  int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
  void SetLimitText(UINT maxChars) { ::SendMessageW(m_hWnd, EM_LIMITTEXT, maxChars, 0); }
  void SetFont(HFONT font, bool redraw = true) {
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  }
  HFONT GetFont() const {
    return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
  }

  virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                    LRESULT& lResult, DWORD dwMsgMapID) = 0;

 protected:
  // The system edit procedure.
  LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

// The edit implementation T with the window style of its traits.
template <typename T, typename TTraits>
class CEditImpl : public CEditImplBase {
 public:
  HWND Create(HWND parent, const RECT& rect, UINT id, DWORD style = 0, DWORD exStyle = 0) {
    return CEditImplBase::Create(parent, rect, id, TTraits::GetWndStyle(style),
                                 TTraits::GetWndExStyle(exStyle));
  }
};

}  // namespace lumo
