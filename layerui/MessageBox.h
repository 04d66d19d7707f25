#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "base/DialogImpl.h"
#include "base/Handles.h"
#include "layerui/LayerRootView.h"
#include "layerui/LayerWindow.h"

// The process-wide silent flag: while set, every message box returns -1 at
// once without showing anything.
void SetMessageBoxSilent(bool silent);
bool IsMessageBoxSilent();

// Shows the skinned message box with text and the buttons of type (MB_OK,
// MB_OKCANCEL, MB_YESNO; other types show only the close button) over owner
// (null: the active window). Returns the button's result (IDOK, IDCANCEL,
// IDYES, IDNO), IDCLOSE for the close button or WM_CLOSE, -1 in silent mode
// or when the box cannot be shown.
int ShowMessageBox(HWND owner, const wchar_t* text, UINT type);

// The skinned modal message box: a 542 x 255 dialog painted from a control
// tree into an off-screen surface (opaque, no per-pixel alpha).
class CMessageBox : public lumo::CDialogImpl<CMessageBox>, public ILayerWindow {
 public:
  enum { IDD = 249 };
  static constexpr int kWidth = 542;
  static constexpr int kHeight = 255;
  static constexpr int kCloseId = 1000;

  CMessageBox(std::wstring text, UINT type);
  ~CMessageBox() override;

  // The box shown in `dialog`, null for other windows.
  static CMessageBox* FromHandle(HWND dialog);
  CLayerControlRootView* GetRootView() const { return root_.get(); }
  ILayerControl* GetFirstButton() const { return firstButton_; }
  ILayerControl* GetSecondButton() const { return secondButton_; }
  ILayerControl* GetCloseButton() const { return closeButton_; }
  HBITMAP GetSurfaceBitmap() const { return surfaceBitmap_.get(); }

  // ILayerWindow: repaints at once; no timers, tooltips or control frames.
  int GetDrawControlFrames() override { return 0; }
  void SetDrawControlFrames(int) override {}
  HWND GetHwnd() override { return m_hWnd; }
  void ShowToolTip(int, const std::wstring&) override {}
  int SetLayerTimer(UINT, UINT) override { return 1; }
  int KillLayerTimer(UINT) override { return 1; }
  int PostLayerMessage(UINT msg, WPARAM wParam, LPARAM lParam, ILayerControl*) override {
    return ::PostMessageW(m_hWnd, msg, wParam, lParam);
  }
  LRESULT SendLayerMessage(UINT msg, WPARAM wParam, LPARAM lParam, ILayerControl*) override {
    return ::SendMessageW(m_hWnd, msg, wParam, lParam);
  }
  int InvalidateLayer(std::unique_ptr<RECT> rect, int rebuildBackground) override;

  BEGIN_MSG_MAP(CMessageBox)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSEHOVER, OnMouseHover)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNcHitTest(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseHover(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

  bool CreateSurface();
  void BuildLayout();
  int NextAutoId() { return nextAutoId_++; }

  std::unique_ptr<CLayerControlRootView> root_;
  ILayerControl* firstButton_ = nullptr;   // owned by the tree
  ILayerControl* secondButton_ = nullptr;  // owned by the tree
  ILayerControl* closeButton_ = nullptr;   // owned by the tree
  lumo::UniqueMemoryDc surfaceDc_;
  lumo::UniqueBitmap surfaceBitmap_;
  HGDIOBJ oldBitmap_ = nullptr;
  bool leaveTracking_ = true;
  UINT type_;
  int firstResult_ = 0;
  int secondResult_ = 0;
  std::wstring text_;
  int nextAutoId_ = 2000;
};
