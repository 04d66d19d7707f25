#pragma once
#include "layerui/LayerControlGroup.h"

// The top of a window's control tree; its rectangle is the client area. The
// window hands it every mouse event; it finds the control under the mouse
// and keeps the hover and pressed controls.
class CLayerControlRootView : public CLayerControlGroup {
 public:
  CLayerControlRootView() { type_ = kLayerRootView; }

  ILayerControl* GetParentControl() override { return nullptr; }
  void SetParentControl(ILayerControl*) override {}
  ILayerControl* GetHoverControl() override { return hover_; }
  void SetHoverControl(ILayerControl* control) override { hover_ = control; }
  ILayerControl* GetPressedControl() override { return pressed_; }
  void SetPressedControl(ILayerControl* control) override { pressed_ = control; }
  CLayerControlRootView* GetRoot() override { return this; }

  // Drops the hover and pressed references to `control` or to anything
  // inside it, before it leaves the tree.
  void ForgetControl(ILayerControl* control);

  void OnSize(int left, int top, int right, int bottom) override;
  void OnSetCursor(HWND window, UINT hitTest, UINT mouseMsg, int* handled) override;
  void OnMouseMove(UINT flags, int x, int y) override;
  void OnMouseHover(UINT, int, int) override {}
  void OnMouseLeave() override;
  void OnLButtonDown(UINT flags, int x, int y, int* handled) override;
  void OnLButtonUp(UINT flags, int x, int y, int* handled) override;
  void OnLButtonDblClk(UINT flags, int x, int y, int* handled) override;
  void OnRButtonDown(UINT, int, int, int*) override {}
  void OnRButtonUp(UINT, int, int, int*) override {}

 private:
  void RefreshToolTip(ILayerControl* control);
  static POINT ToControlSpace(ILayerControl* control, int x, int y);

  ILayerControl* hover_ = nullptr;
  ILayerControl* pressed_ = nullptr;
};
