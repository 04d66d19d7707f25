#include "layerui/LayerRootView.h"

namespace {
bool IsWithin(ILayerControl* control, ILayerControl* ancestor) {
  for (; control; control = control->GetParentControl())
    if (control == ancestor) return true;
  return false;
}
}  // namespace

void CLayerControlRootView::ForgetControl(ILayerControl* control) {
  if (IsWithin(hover_, control)) hover_ = nullptr;
  if (IsWithin(pressed_, control)) pressed_ = nullptr;
}

void CLayerControlRootView::OnSize(int left, int top, int right, int bottom) {
  rect_ = RECT{left, top, right, bottom};
}

POINT CLayerControlRootView::ToControlSpace(ILayerControl* control, int x, int y) {
  const POINT windowPoint{x, y};
  POINT local{};
  control->WindowToClientPoint(&local, &windowPoint);
  return local;
}

void CLayerControlRootView::RefreshToolTip(ILayerControl* control) {
  if (!window_) return;
  std::wstring text;
  control->GetToolTip(&text);
  if (control->IsToolTipEnabled())
    window_->ShowToolTip(!text.empty(), text);
  else
    window_->ShowToolTip(0, std::wstring());
}

void CLayerControlRootView::OnSetCursor(HWND, UINT, UINT, int* handled) {
  HCURSOR cursor = hover_ ? hover_->GetCursor() : nullptr;
  if (cursor) ::SetCursor(cursor);
  if (handled) *handled = cursor ? 1 : 0;
}

void CLayerControlRootView::OnMouseMove(UINT flags, int x, int y) {
  ILayerControl* control = ChildFromPoint(x, y);
  const POINT local = control ? ToControlSpace(control, x, y) : POINT{0, 0};
  if (control != hover_) {
    if (hover_) {
      hover_->OnMouseLeave();
      if (window_) window_->ShowToolTip(0, std::wstring());
    }
    hover_ = control;
    if (control) {
      control->OnMouseHover(flags, local.x, local.y);
      RefreshToolTip(control);
    }
  } else if (control) {
    control->OnMouseMove(flags, local.x, local.y);
    RefreshToolTip(control);
  }
}

void CLayerControlRootView::OnMouseLeave() {
  ILayerControl* hover = hover_;
  ILayerControl* pressed = pressed_;
  hover_ = pressed_ = nullptr;
  if (hover) hover->OnMouseLeave();
  if (pressed && pressed != hover) pressed->OnMouseLeave();
  if (window_) window_->ShowToolTip(0, std::wstring());
}

void CLayerControlRootView::OnLButtonDown(UINT flags, int x, int y, int* handled) {
  ILayerControl* control = ChildFromPoint(x, y);
  if (!control || !control->IsEnabled()) return;
  const POINT local = ToControlSpace(control, x, y);
  pressed_ = control;
  control->OnLButtonDown(flags, local.x, local.y, handled);
}

void CLayerControlRootView::OnLButtonDblClk(UINT flags, int x, int y, int* handled) {
  ILayerControl* control = ChildFromPoint(x, y);
  if (!control || !control->IsEnabled()) return;
  const POINT local = ToControlSpace(control, x, y);
  pressed_ = control;
  control->OnLButtonDblClk(flags, local.x, local.y, handled);
}

void CLayerControlRootView::OnLButtonUp(UINT flags, int x, int y, int* handled) {
  ILayerControl* pressed = pressed_;
  if (!pressed) return;
  pressed_ = nullptr;  // forgotten first: the release may lead to the control's removal
  const POINT local = ToControlSpace(pressed, x, y);
  pressed->OnLButtonUp(flags, local.x, local.y, handled);
}
