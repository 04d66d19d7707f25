#pragma once
#include "layerui/LayerControl.h"

// A text. Drag-through (the window moves) unless made clickable.
class CLayerLabelCtrl : public CLayerControlBase {
 public:
  CLayerLabelCtrl() : CLayerControlBase(kLayerLabel) { textFormat_ = 0x1001; }

  void Paint(HDC dc) override { DrawText(dc, rect_); }
  void OnLButtonUp(UINT, int, int, int*) override {
    if (clickable_) PostClick();
  }
};
