#include "layerui/LayerButton.h"

LayerButtonState CLayerButtonCtrl::GetState() const {
  if (!enabled_) return kButtonDisabled;
  if (pressed_) return kButtonPressed;
  if (hover_) return kButtonHover;
  return kButtonNormal;
}

void CLayerButtonCtrl::Paint(HDC dc) {
  if (image_)
    image_->DrawFrame(dc, rect_.left, rect_.top, rect_.right - rect_.left,
                      rect_.bottom - rect_.top, GetState());
  DrawText(dc, rect_);
}

void CLayerButtonCtrl::OnLButtonUp(UINT, int, int, int*) {
  SetPressed(false);
  PostClick();
}
