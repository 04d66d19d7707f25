#pragma once
#include <cstdint>

#include "layerui/Image.h"
#include "layerui/LayerControl.h"

// A horizontal bar: the track, and over it the fill growing from the left.
// Any position above 0 shows at least 1 % of the bar.
class CLayerProgress : public CLayerControlBase {
 public:
  CLayerProgress() : CLayerControlBase(kLayerProgress) {}

  void SetRange(std::uint64_t range, bool redraw);
  virtual void SetPos(std::uint64_t position, bool redraw);
  using CLayerControlBase::SetPos;  // the (x, y) move stays reachable
  std::uint64_t GetRange() const { return range_; }
  std::uint64_t GetPosition() const { return position_; }
  // Images with their bar parameters (see LayerDrawHBar).
  void SetTrack(CImage* image, int leftEnd, int rightStart);
  void SetFill(CImage* image, int leftEnd, int rightStart);
  // The width of the fill for the current position, 0 for none.
  int FillLength() const;

  void Paint(HDC dc) override;

 private:
  struct Bar {
    CImage* image = nullptr;  // registry-owned
    int leftEnd = 0;
    int rightStart = 0;
  };
  static void DrawBar(HDC dc, const Bar& bar, const RECT& rect);

  Bar track_;
  Bar fill_;
  std::uint64_t range_ = 100;
  std::uint64_t position_ = 0;
};
