#include "layerui/LayerCheckbox.h"

void CLayerCheckboxCtrl::SetCheck(bool checked, bool redraw) {
  if (checked_ == checked) return;
  checked_ = checked;
  if (redraw) Invalidate();
}

void CLayerCheckboxCtrl::Paint(HDC dc) {
  RECT textRect = rect_;
  if (image_) {
    const int frameWidth = image_->GetFrameWidth();
    const int height = image_->GetHeight();
    const int top = rect_.top + (rect_.bottom - rect_.top - height) / 2;
    image_->DrawFrame(dc, rect_.left, top, frameWidth, height,
                      GetState() + (checked_ ? 4 : 0));
    textRect.left += frameWidth + 5;
  }
  DrawText(dc, textRect);
}

void CLayerCheckboxCtrl::OnLButtonUp(UINT, int, int, int*) {
  if (!enabled_) return;
  SetPressed(false);
  // Toggled before the window hears of the click.
  if (autoToggle_) SetCheck(!checked_, true);
  PostClick();
}
