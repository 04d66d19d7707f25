#pragma once
#include "layerui/LayerButton.h"

// A check box (also the selectable cards): an eight-frame strip, frames 0-3
// for the unchecked states and 4-7 for the checked ones, drawn at the left
// edge; the text follows to its right.
class CLayerCheckboxCtrl : public CLayerButtonCtrl {
 public:
  CLayerCheckboxCtrl() : CLayerButtonCtrl(kLayerCheckbox) { textFormat_ = 0x1001; }

  void SetCheck(bool checked, bool redraw);
  bool GetCheck() const { return checked_; }
  void SetAutoToggle(bool on) { autoToggle_ = on; }

  void Paint(HDC dc) override;
  void OnLButtonUp(UINT flags, int x, int y, int* handled) override;

 private:
  bool checked_ = false;
  bool autoToggle_ = true;
};
