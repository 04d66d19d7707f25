#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "base/Handles.h"
#include "base/WinTraits.h"
#include "base/WindowImpl.h"
#include "layerui/LayerRootView.h"
#include "layerui/LayerWindow.h"

// Window style of every toolkit window: WS_POPUP | WS_CLIPSIBLINGS |
// WS_CLIPCHILDREN | WS_MINIMIZEBOX.
constexpr DWORD kLayerWindowStyle = 0x86020000;
using CLayeredWinTraits = lumo::CWinTraits<kLayerWindowStyle, WS_EX_LAYERED>;
using CPlainWinTraits = lumo::CWinTraits<kLayerWindowStyle, 0>;

// The machinery shared by every toolkit window: the control tree, the
// off-screen surface with its background cache, timers, the tooltip,
// dragging by the background and mouse tracking. The layered variant puts
// the surface on screen with UpdateLayeredWindow (shape and shadow from the
// alpha channel); the plain one paints it in WM_PAINT.
class CLayerWindowCore : public lumo::CWindowImplBase, public ILayerWindow {
 public:
  explicit CLayerWindowCore(bool layered);
  ~CLayerWindowCore() override;

  bool IsLayered() const { return layered_; }
  CLayerControlRootView* GetRootView() const { return root_.get(); }
  // Renders background, controls and overlays into `target` (what a repaint
  // does to the surface).
  void PaintSurface(HDC target, const RECT& client);
  HBITMAP GetSurfaceBitmap() const { return surface_.get(); }
  bool IsBackgroundDirty() const { return backgroundDirty_; }
  bool GetDragByBackground() const { return dragByBackground_; }
  void SetDragByBackground(bool on) { dragByBackground_ = on; }
  BYTE GetConstantAlpha() const { return constantAlpha_; }

  // ILayerWindow
  int GetDrawControlFrames() override { return drawControlFrames_; }
  void SetDrawControlFrames(int on) override { drawControlFrames_ = on; }
  HWND GetHwnd() override { return m_hWnd; }
  void ShowToolTip(int show, const std::wstring& text) override;
  int SetLayerTimer(UINT id, UINT elapseMs) override;
  int KillLayerTimer(UINT id) override;
  int PostLayerMessage(UINT msg, WPARAM wParam, LPARAM lParam, ILayerControl* sender) override;
  LRESULT SendLayerMessage(UINT msg, WPARAM wParam, LPARAM lParam,
                           ILayerControl* sender) override;
  int InvalidateLayer(std::unique_ptr<RECT> rect, int rebuildBackground) override;

  // The use count of a layer timer, 0 when it is not running.
  int GetTimerUseCount(UINT id) const;

  BEGIN_MSG_MAP(CLayerWindowCore)
    MESSAGE_HANDLER(WM_CREATE, OnCreateMessage)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroyMessage)
    MESSAGE_HANDLER(WM_NCDESTROY, OnNcDestroyMessage)
    MESSAGE_HANDLER(WM_SIZE, OnSizeMessage)
    MESSAGE_HANDLER(WM_PAINT, OnPaintMessage)
    MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaintMessage)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursorMessage)
    MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTestMessage)
    MESSAGE_HANDLER(WM_TIMER, OnTimerMessage)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, RelayToToolTip)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMoveMessage)
    MESSAGE_HANDLER(WM_MOUSEHOVER, OnMouseHoverMessage)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeaveMessage)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnButtonMessage)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnButtonMessage)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnButtonMessage)
    MESSAGE_HANDLER(WM_RBUTTONDOWN, OnButtonMessage)
    MESSAGE_HANDLER(WM_RBUTTONUP, OnButtonMessage)
    MESSAGE_HANDLER(WM_THEMECHANGED, OnThemeChanged)
    MESSAGE_HANDLER(WM_LAYER_REDRAW, OnLayerRedraw)
  END_MSG_MAP()

 protected:
  // Hooks for the concrete windows; the mouse hooks run after the controls.
  virtual void OnCreate() {}
  virtual void OnDestroy() {}
  virtual void OnSize(int, int, int, int) {}
  virtual void OnTimer(UINT) {}
  virtual void OnMouseMove(UINT, int, int) {}
  virtual void OnMouseHover(UINT, int, int) {}
  virtual void OnMouseLeave() {}
  virtual void OnLButtonDown(UINT, int, int) {}
  virtual void OnLButtonUp(UINT, int, int) {}
  virtual void OnLButtonDblClk(UINT, int, int) {}
  virtual void OnRButtonDown(UINT, int, int) {}
  virtual void OnRButtonUp(UINT, int, int) {}
  virtual void OnNcHitTest(int, int) {}
  // Drawn into the background cache when it is rebuilt; the base fills
  // green at alpha 254 so that a window without its own background shows.
  virtual void DrawBackground(HDC dc, const RECT& client);
  virtual void DrawBeforeControls(HDC, const RECT&) {}
  virtual void DrawControls(HDC dc, const RECT& client);
  virtual void DrawAfterControls(HDC, const RECT&) {}
  virtual void TrackMouseLeave();

 private:
  LRESULT OnCreateMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroyMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNcDestroyMessage(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnSizeMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaintMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnSetCursorMessage(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnNcHitTestMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTimerMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT RelayToToolTip(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnMouseMoveMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseHoverMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseLeaveMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnButtonMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnThemeChanged(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnLayerRedraw(UINT, WPARAM, LPARAM, BOOL&);

  // The surface of the client's size, recreated when the size changed.
  HBITMAP GetOrCreateSurface(const RECT& client);
  void UpdateLayered(const RECT* clip);
  // Frees the rectangles of repaint requests that will never be processed.
  void DropQueuedRedraws();

  bool layered_;
  int drawControlFrames_ = 0;
  lumo::UniqueBitmap surface_;
  lumo::UniqueBitmap backgroundCache_;
  bool backgroundDirty_ = true;
  BYTE constantAlpha_ = 255;
  bool leaveTracking_ = true;
  std::unique_ptr<CLayerControlRootView> root_;
  std::map<UINT, int> timers_;
  HWND toolTip_ = nullptr;
  std::wstring toolTipText_;
  bool dragByBackground_ = true;
};

// A toolkit window class T with the styles of TTraits; the layered variant
// when the traits carry WS_EX_LAYERED. A derived message map chains to this
// one first: CHAIN_MSG_MAP(CLayerWindowBase<...>).
template <typename T, typename TTraits = CLayeredWinTraits>
class CLayerWindowBase : public CLayerWindowCore {
 public:
  CLayerWindowBase() : CLayerWindowCore((TTraits::kExStyle & WS_EX_LAYERED) != 0) {}

  HWND Create(HWND parent = nullptr, const RECT* rect = nullptr, const wchar_t* title = nullptr,
              DWORD style = 0, DWORD exStyle = 0) {
    return CWindowImplBase::Create(parent, rect, title, TTraits::GetWndStyle(style),
                                   TTraits::GetWndExStyle(exStyle));
  }

 protected:
  // One class per window class T; T may override this to name its class.
  lumo::WindowClassInfo& GetWndClassInfo() override {
    static lumo::WindowClassInfo info = [] {
      lumo::WindowClassInfo i;
      i.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
      i.background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      return i;
    }();
    return info;
  }
};
