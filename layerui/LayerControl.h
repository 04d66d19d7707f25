#pragma once
#include <windows.h>

#include <string>

#include "layerui/GdiplusInclude.h"
#include "layerui/LayerWindow.h"

// Control types.
enum LayerControlType : int {
  kLayerRootView = 1,
  kLayerButton = 2,
  kLayerImage = 3,
  kLayerLabel = 4,
  kLayerProgress = 7,
  kLayerGroup = 11,
  kLayerCheckbox = 18,
};

// A painted control inside a layered window. Rectangles are relative to the
// parent group unless the name says "Window"; mouse events arrive in the
// space of the control's rectangle (window point minus the parent's origin).
class ILayerControl {
 public:
  virtual void Release() = 0;
  virtual int GetID() = 0;
  virtual void SetID(int id) = 0;
  virtual int GetPage() = 0;
  virtual void SetPage(int page, bool redraw) = 0;
  virtual int GetTimerID() = 0;
  virtual int GetType() = 0;
  virtual bool IsVisible() = 0;
  virtual void SetVisible(bool visible, bool redraw) = 0;
  virtual bool IsEnabled() = 0;
  virtual void SetEnabled(bool enabled, bool redraw) = 0;
  virtual void GetWindowRect(RECT* out) = 0;
  virtual void GetRect(RECT* out) = 0;
  virtual void GetPos(POINT* out) = 0;
  virtual void SetRect(const RECT* rect, bool redraw) = 0;
  virtual void MoveTo(int x, int y, int width, int height, bool redraw) = 0;
  virtual bool IsToolTipEnabled() = 0;
  virtual void EnableToolTip(bool enable) = 0;
  virtual void GetToolTip(std::wstring* out) = 0;
  virtual void SetToolTip(const std::wstring& text) = 0;
  virtual void GetText(std::wstring* out) = 0;
  virtual void SetText(const std::wstring& text, bool redraw) = 0;
  virtual COLORREF GetTextColor() = 0;
  virtual void SetTextColor(COLORREF color, bool redraw) = 0;
  virtual HCURSOR GetCursor() = 0;
  virtual void SetCursor(HCURSOR cursor) = 0;
  virtual ILayerControl* GetParentControl() = 0;
  virtual void SetParentControl(ILayerControl* parent) = 0;
  virtual bool HitTest(int x, int y) = 0;
  virtual void Invalidate(const RECT* windowRect = nullptr) = 0;
  virtual void SetPos(int x, int y, bool redraw) = 0;
  virtual void Offset(int dx, int dy, bool redraw) = 0;
  virtual void SetSize(int width, int height, bool redraw) = 0;
  virtual bool IsDragThrough() = 0;
  virtual void SetDragThrough(bool dragThrough) = 0;
  virtual bool IsClickable() = 0;
  virtual void SetClickable(bool clickable) = 0;
  virtual void ClientToWindowRect(RECT* out, const RECT* in) = 0;
  virtual void ClientToWindowPoint(POINT* out, const POINT* in) = 0;
  virtual void WindowToClientRect(RECT* out, const RECT* in) = 0;
  virtual void WindowToClientPoint(POINT* out, const POINT* in) = 0;
  virtual void OnCreate(HWND window) = 0;
  virtual void OnDestroy() = 0;
  virtual void OnSize(int left, int top, int right, int bottom) = 0;
  virtual void OnTimer(UINT id) = 0;
  virtual void Paint(HDC dc) = 0;
  virtual void OnSetCursor(HWND window, UINT hitTest, UINT mouseMsg, int* handled) = 0;
  virtual void OnMouseMove(UINT flags, int x, int y) = 0;
  virtual void OnMouseHover(UINT flags, int x, int y) = 0;
  virtual void OnMouseLeave() = 0;
  virtual void OnLButtonDown(UINT flags, int x, int y, int* handled) = 0;
  virtual void OnLButtonUp(UINT flags, int x, int y, int* handled) = 0;
  virtual void OnLButtonDblClk(UINT flags, int x, int y, int* handled) = 0;
  virtual void OnRButtonDown(UINT flags, int x, int y, int* handled) = 0;
  virtual void OnRButtonUp(UINT flags, int x, int y, int* handled) = 0;

 protected:
  ~ILayerControl() = default;  // deleted only through Release
};

// Common state and behaviour of every painted control; the event hooks do
// nothing and Paint draws nothing.
class CLayerControlBase : public ILayerControl {
 public:
  explicit CLayerControlBase(int type = 0) : type_(type) {}
  virtual ~CLayerControlBase() = default;
  CLayerControlBase(const CLayerControlBase&) = delete;
  CLayerControlBase& operator=(const CLayerControlBase&) = delete;

  // Binds the control to its window, sets id, style and rectangle, then OnCreate.
  void Create(HWND hwnd, ILayerWindow* window, int id, int x, int y, int width, int height,
              int style = 0);
  void Create(HWND hwnd, ILayerWindow* window, int id, const RECT& rect, int style = 0);

  void SetFont(Gdiplus::Font* font) { font_ = font; }
  Gdiplus::Font* GetFont() const { return font_; }
  void SetStyle(int style) { style_ = style; }
  int GetStyle() const { return style_; }
  void SetTextFormat(UINT flags) { textFormat_ = flags; }
  UINT GetTextFormat() const { return textFormat_; }
  bool IsHover() const { return hover_; }
  bool IsPressed() const { return pressed_; }
  ILayerWindow* GetLayerWindow() const { return window_; }

  // The window timer of this control, with its own id as timer id.
  int StartTimer(UINT intervalMs);
  int StopTimer();

  void Release() override { delete this; }
  int GetID() override { return id_; }
  void SetID(int id) override { id_ = id; }
  int GetPage() override { return page_; }
  void SetPage(int page, bool redraw) override;
  int GetTimerID() override { return timerId_; }
  int GetType() override { return type_; }
  bool IsVisible() override { return visible_; }
  void SetVisible(bool visible, bool redraw) override;
  bool IsEnabled() override { return enabled_; }
  void SetEnabled(bool enabled, bool redraw) override;
  void GetWindowRect(RECT* out) override;
  void GetRect(RECT* out) override { *out = rect_; }
  void GetPos(POINT* out) override { *out = POINT{rect_.left, rect_.top}; }
  void SetRect(const RECT* rect, bool redraw) override;
  void MoveTo(int x, int y, int width, int height, bool redraw) override;
  bool IsToolTipEnabled() override { return toolTipEnabled_; }
  void EnableToolTip(bool enable) override { toolTipEnabled_ = enable; }
  void GetToolTip(std::wstring* out) override { *out = toolTip_; }
  void SetToolTip(const std::wstring& text) override { toolTip_ = text; }
  void GetText(std::wstring* out) override { *out = text_; }
  void SetText(const std::wstring& text, bool redraw) override;
  COLORREF GetTextColor() override { return textColor_; }
  void SetTextColor(COLORREF color, bool redraw) override;
  HCURSOR GetCursor() override { return cursor_; }
  void SetCursor(HCURSOR cursor) override { cursor_ = cursor; }
  ILayerControl* GetParentControl() override { return parent_; }
  void SetParentControl(ILayerControl* parent) override { parent_ = parent; }
  bool HitTest(int x, int y) override;
  void Invalidate(const RECT* windowRect = nullptr) override;
  void SetPos(int x, int y, bool redraw) override;
  void Offset(int dx, int dy, bool redraw) override;
  void SetSize(int width, int height, bool redraw) override;
  bool IsDragThrough() override { return dragThrough_; }
  void SetDragThrough(bool dragThrough) override { dragThrough_ = dragThrough; }
  bool IsClickable() override { return clickable_; }
  void SetClickable(bool clickable) override;
  void ClientToWindowRect(RECT* out, const RECT* in) override;
  void ClientToWindowPoint(POINT* out, const POINT* in) override;
  void WindowToClientRect(RECT* out, const RECT* in) override;
  void WindowToClientPoint(POINT* out, const POINT* in) override;
  void OnCreate(HWND) override {}
  void OnDestroy() override {}
  void OnSize(int, int, int, int) override {}
  void OnTimer(UINT) override {}
  void Paint(HDC) override {}
  void OnSetCursor(HWND, UINT, UINT, int*) override {}
  void OnMouseMove(UINT, int, int) override {}
  void OnMouseHover(UINT, int, int) override {}
  void OnMouseLeave() override {}
  void OnLButtonDown(UINT, int, int, int*) override {}
  void OnLButtonUp(UINT, int, int, int*) override {}
  void OnLButtonDblClk(UINT flags, int x, int y, int* handled) override {
    OnLButtonDown(flags, x, y, handled);
  }
  void OnRButtonDown(UINT, int, int, int*) override {}
  void OnRButtonUp(UINT, int, int, int*) override {}

 protected:
  // The window origin of the parent (0, 0 at the root).
  POINT ParentOrigin();
  // Draws the text into `rect` with the control's colour and format, when
  // there is a text and a font.
  void DrawText(HDC dc, const RECT& rect);
  // Posts WM_COMMAND with the control id to the window.
  void PostClick();
  void SetHover(bool hover);
  void SetPressed(bool pressed);

  int type_;
  int id_ = -1;
  int page_ = -1;
  std::wstring toolTip_;
  bool toolTipEnabled_ = false;
  std::wstring text_;
  HWND hwnd_ = nullptr;
  RECT rect_{};
  int style_ = 0;
  bool visible_ = true;
  bool hover_ = false;
  bool pressed_ = false;
  bool enabled_ = true;
  Gdiplus::Font* font_ = nullptr;  // registry-owned
  COLORREF textColor_ = 0;
  UINT textFormat_ = 0x1011;
  ILayerControl* parent_ = nullptr;
  ILayerWindow* window_ = nullptr;
  int timerId_ = -1;
  bool dragThrough_ = true;
  bool clickable_ = false;
  HCURSOR cursor_ = nullptr;
};
