#include "layerui/LayerImageCtrl.h"

#include "layerui/LayerDraw.h"

void CLayerImageCtrl::SetImage(CImage* image, bool redraw) {
  if (image_ == image) return;
  image_ = image;
  if ((style_ & kImageCtrlAutoSize) && image_) {
    rect_.right = rect_.left + image_->GetWidth();
    rect_.bottom = rect_.top + image_->GetHeight();
  }
  if (redraw) Invalidate();
}

void CLayerImageCtrl::SetNineGrid(const RECT* grid) {
  mode_ = kNineGrid;
  grid_ = grid ? *grid : RECT{0, 0, 0, 0};
}

void CLayerImageCtrl::Paint(HDC dc) {
  if (image_ && image_->IsValid()) {
    if (mode_ == kNineGrid) {
      LayerDrawNineGrid(dc, image_->GetBitmap(), rect_, grid_);
    } else {
      const int x = rect_.left + (rect_.right - rect_.left - image_->GetWidth()) / 2;
      const int y = rect_.top + (rect_.bottom - rect_.top - image_->GetHeight()) / 2;
      image_->DrawPart(dc, x, y, image_->GetWidth(), image_->GetHeight(), 0, 0,
                       image_->GetWidth(), image_->GetHeight());
    }
  }
  DrawText(dc, rect_);
}
