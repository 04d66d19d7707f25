#pragma once
#include <windows.h>

#include <memory>
#include <string>

class ILayerControl;

// Posted by InvalidateLayer; lParam carries the heap rectangle to repaint
// (null: the whole window), owned by the message until it is processed.
constexpr UINT WM_LAYER_REDRAW = 0x3400;

// The services a window offers the painted controls inside it. Coordinates
// are client coordinates of the window.
class ILayerWindow {
 public:
  virtual int GetDrawControlFrames() = 0;
  virtual void SetDrawControlFrames(int on) = 0;
  virtual HWND GetHwnd() = 0;
  virtual void ShowToolTip(int show, const std::wstring& text) = 0;
  // 1 when the timer runs; a second start of a running id only counts a use.
  virtual int SetLayerTimer(UINT id, UINT elapseMs) = 0;
  // 1 when it was running; stops it whatever its use count.
  virtual int KillLayerTimer(UINT id) = 0;
  virtual int PostLayerMessage(UINT msg, WPARAM wParam, LPARAM lParam, ILayerControl* sender) = 0;
  virtual LRESULT SendLayerMessage(UINT msg, WPARAM wParam, LPARAM lParam,
                                   ILayerControl* sender) = 0;
  // Asks for a repaint of `rect` (null: all) later, on the window's thread.
  virtual int InvalidateLayer(std::unique_ptr<RECT> rect, int rebuildBackground) = 0;

 protected:
  ~ILayerWindow() = default;
};

// Windows opened by another window (progress, question and tip windows).
class IBaseWnd {
 public:
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void SetNotifyWnd(HWND notify) = 0;
  virtual void SetAnchorWnd(HWND anchor) = 0;
  virtual void Close() = 0;

 protected:
  ~IBaseWnd() = default;
};
