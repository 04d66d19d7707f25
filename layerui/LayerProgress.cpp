#include "layerui/LayerProgress.h"

#include <algorithm>

#include "layerui/LayerDraw.h"

void CLayerProgress::SetRange(std::uint64_t range, bool redraw) {
  if (range_ == range) return;
  range_ = range;
  if (redraw) Invalidate();
}

void CLayerProgress::SetPos(std::uint64_t position, bool redraw) {
  if (position_ == position) return;
  position_ = position;
  if (redraw) Invalidate();
}

void CLayerProgress::SetTrack(CImage* image, int leftEnd, int rightStart) {
  track_ = Bar{image, leftEnd, rightStart};
}

void CLayerProgress::SetFill(CImage* image, int leftEnd, int rightStart) {
  fill_ = Bar{image, leftEnd, rightStart};
}

int CLayerProgress::FillLength() const {
  if (range_ == 0) return 0;
  const std::uint64_t value = std::min(position_, range_);
  if (value == 0) return 0;
  const double fraction = std::max(static_cast<double>(value) / static_cast<double>(range_), 0.01);
  return static_cast<int>(fraction * (rect_.right - rect_.left));
}

void CLayerProgress::DrawBar(HDC dc, const Bar& bar, const RECT& rect) {
  if (bar.image && bar.image->IsValid())
    LayerDrawHBar(dc, bar.image->GetBitmap(), rect, bar.leftEnd, bar.rightStart, true);
}

void CLayerProgress::Paint(HDC dc) {
  DrawBar(dc, track_, rect_);
  const int length = FillLength();
  if (length > 0) DrawBar(dc, fill_, RECT{rect_.left, rect_.top, rect_.left + length, rect_.bottom});
}
