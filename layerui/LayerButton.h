#pragma once
#include "layerui/Image.h"
#include "layerui/LayerControl.h"

// Visual states of a button strip's frames.
enum LayerButtonState : int {
  kButtonNormal = 0,
  kButtonHover = 1,
  kButtonPressed = 2,
  kButtonDisabled = 3,  // three-frame strips show frame 0
};

// A push button drawn from a state strip, with its text on top. Posts a
// click (WM_COMMAND with its id) when the left button is released after a
// press on it, wherever the release happens inside the window.
class CLayerButtonCtrl : public CLayerControlBase {
 public:
  CLayerButtonCtrl() : CLayerButtonCtrl(kLayerButton) {}

  void SetImage(CImage* image) { image_ = image; }
  CImage* GetImage() const { return image_; }
  LayerButtonState GetState() const;

  void Paint(HDC dc) override;
  void OnMouseMove(UINT, int, int) override { SetHover(true); }
  void OnMouseHover(UINT, int, int) override { SetHover(true); }
  // Leaving the window also ends a press: that press never becomes a click,
  // so the button must not stay drawn pressed.
  void OnMouseLeave() override {
    SetHover(false);
    SetPressed(false);
  }
  void OnLButtonDown(UINT, int, int, int*) override { SetPressed(true); }
  void OnLButtonUp(UINT flags, int x, int y, int* handled) override;

 protected:
  explicit CLayerButtonCtrl(int type) : CLayerControlBase(type) { dragThrough_ = false; }

  CImage* image_ = nullptr;  // registry-owned
};
