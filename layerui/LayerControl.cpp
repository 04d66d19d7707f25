#include "layerui/LayerControl.h"

#include <algorithm>

#include "layerui/LayerDraw.h"

namespace {
bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

void CLayerControlBase::Create(HWND hwnd, ILayerWindow* window, int id, int x, int y, int width,
                               int height, int style) {
  Create(hwnd, window, id, RECT{x, y, x + width, y + height}, style);
}

void CLayerControlBase::Create(HWND hwnd, ILayerWindow* window, int id, const RECT& rect,
                               int style) {
  hwnd_ = hwnd;
  window_ = window;
  id_ = id;
  style_ = style;
  rect_ = rect;
  OnCreate(hwnd);
}

int CLayerControlBase::StartTimer(UINT intervalMs) {
  timerId_ = id_;
  return window_ ? window_->SetLayerTimer(static_cast<UINT>(timerId_), intervalMs) : 0;
}

int CLayerControlBase::StopTimer() {
  const int running = timerId_;
  timerId_ = -1;
  return window_ ? window_->KillLayerTimer(static_cast<UINT>(running == -1 ? id_ : running)) : 0;
}

void CLayerControlBase::SetPage(int page, bool) { page_ = page; }

void CLayerControlBase::SetVisible(bool visible, bool redraw) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (redraw) Invalidate();
}

void CLayerControlBase::SetEnabled(bool enabled, bool redraw) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (redraw) Invalidate();
}

POINT CLayerControlBase::ParentOrigin() {
  if (!parent_) return POINT{0, 0};
  RECT parentRect{};
  parent_->GetWindowRect(&parentRect);
  return POINT{parentRect.left, parentRect.top};
}

void CLayerControlBase::GetWindowRect(RECT* out) { ClientToWindowRect(out, &rect_); }

void CLayerControlBase::SetRect(const RECT* rect, bool redraw) {
  if (!rect || SameRect(*rect, rect_)) return;
  RECT oldWindow{}, newWindow{}, both{};
  ClientToWindowRect(&oldWindow, &rect_);
  ClientToWindowRect(&newWindow, rect);
  ::UnionRect(&both, &oldWindow, &newWindow);
  rect_ = *rect;
  OnSize(rect_.left, rect_.top, rect_.right, rect_.bottom);
  // The union repaints the vacated area as well.
  if (redraw) Invalidate(&both);
}

void CLayerControlBase::MoveTo(int x, int y, int width, int height, bool redraw) {
  const RECT rect{x, y, x + width, y + height};
  SetRect(&rect, redraw);
}

void CLayerControlBase::SetText(const std::wstring& text, bool redraw) {
  if (text_ == text) return;
  text_ = text;
  if (redraw) Invalidate();
}

void CLayerControlBase::SetTextColor(COLORREF color, bool redraw) {
  if (textColor_ == color) return;
  textColor_ = color;
  if (redraw) Invalidate();
}

bool CLayerControlBase::HitTest(int x, int y) {
  RECT windowRect{};
  GetWindowRect(&windowRect);
  return ::PtInRect(&windowRect, POINT{x, y}) != FALSE;
}

void CLayerControlBase::Invalidate(const RECT* windowRect) {
  if (!window_) return;
  auto rect = std::make_unique<RECT>();
  if (windowRect)
    *rect = *windowRect;
  else
    GetWindowRect(rect.get());
  window_->InvalidateLayer(std::move(rect), 0);
}

void CLayerControlBase::SetPos(int x, int y, bool redraw) {
  MoveTo(x, y, rect_.right - rect_.left, rect_.bottom - rect_.top, redraw);
}

void CLayerControlBase::Offset(int dx, int dy, bool redraw) {
  SetPos(rect_.left + dx, rect_.top + dy, redraw);
}

void CLayerControlBase::SetSize(int width, int height, bool redraw) {
  if (width == -1) width = rect_.right - rect_.left;
  if (height == -1) height = rect_.bottom - rect_.top;
  MoveTo(rect_.left, rect_.top, width, height, redraw);
}

void CLayerControlBase::SetClickable(bool clickable) {
  clickable_ = clickable;
  dragThrough_ = !clickable;
}

void CLayerControlBase::ClientToWindowRect(RECT* out, const RECT* in) {
  const POINT origin = ParentOrigin();
  *out = *in;
  ::OffsetRect(out, origin.x, origin.y);
}

void CLayerControlBase::ClientToWindowPoint(POINT* out, const POINT* in) {
  const POINT origin = ParentOrigin();
  *out = POINT{in->x + origin.x, in->y + origin.y};
}

void CLayerControlBase::WindowToClientRect(RECT* out, const RECT* in) {
  const POINT origin = ParentOrigin();
  *out = *in;
  ::OffsetRect(out, -origin.x, -origin.y);
}

void CLayerControlBase::WindowToClientPoint(POINT* out, const POINT* in) {
  const POINT origin = ParentOrigin();
  *out = POINT{in->x - origin.x, in->y - origin.y};
}

void CLayerControlBase::DrawText(HDC dc, const RECT& rect) {
  if (text_.empty() || !font_) return;
  LayerDrawText(dc, text_.c_str(), rect, font_, textColor_, textFormat_, 254);
}

void CLayerControlBase::PostClick() {
  if (window_)
    window_->PostLayerMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id_), 0), 0, this);
}

void CLayerControlBase::SetHover(bool hover) {
  if (hover_ == hover) return;
  hover_ = hover;
  Invalidate();
}

void CLayerControlBase::SetPressed(bool pressed) {
  if (pressed_ == pressed) return;
  pressed_ = pressed;
  Invalidate();
}
