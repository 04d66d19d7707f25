#pragma once
#include "layerui/Image.h"
#include "layerui/LayerControl.h"

// Style bit: the control takes the size of each image it is given.
constexpr int kImageCtrlAutoSize = 0x1;

// A picture, centred at its natural size or drawn as a nine-grid, with the
// control's text on top.
class CLayerImageCtrl : public CLayerControlBase {
 public:
  enum DrawMode : int { kCentered = 0, kNineGrid = 1 };

  CLayerImageCtrl() : CLayerControlBase(kLayerImage) {}

  void SetImage(CImage* image, bool redraw);
  CImage* GetImage() const { return image_; }
  // Nine-grid drawing with `grid` (null: no borders).
  void SetNineGrid(const RECT* grid);
  DrawMode GetDrawMode() const { return mode_; }

  void Paint(HDC dc) override;
  void OnLButtonUp(UINT, int, int, int*) override {
    if (clickable_) PostClick();
  }

 private:
  DrawMode mode_ = kCentered;
  RECT grid_{};
  CImage* image_ = nullptr;  // registry-owned
};
