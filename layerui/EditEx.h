#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "base/EditImpl.h"
#include "base/WinTraits.h"

// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN.
using CEditExTraits = lumo::CWinTraits<0x56000000, 0>;

// The native single-line edit box of the toolkit: a light grey placeholder
// while it is empty, a callback for Enter (which inserts nothing), and it
// hides itself when it loses the focus while empty (its owner draws the
// field's picture and shows the box again on a click).
class CEditEx : public lumo::CEditImpl<CEditEx, CEditExTraits> {
 public:
  void SetPlaceholder(const std::wstring& text) { placeholder_ = text; }
  const std::wstring& GetPlaceholder() const { return placeholder_; }
  void SetPlaceholderWhenFocused(bool on) { placeholderWhenFocused_ = on; }
  void SetEnterCallback(std::function<void()> callback) { onEnter_ = std::move(callback); }

  BEGIN_MSG_MAP(CEditEx)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_CHAR, OnChar)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
  END_MSG_MAP()

 private:
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnKillFocus(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&);
  bool ShowsPlaceholder() const;
  void PaintPlaceholder();

  std::wstring placeholder_;
  bool placeholderWhenFocused_ = false;
  std::function<void()> onEnter_;
};
