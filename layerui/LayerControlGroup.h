#pragma once
#include <map>
#include <memory>
#include <vector>

#include "layerui/LayerControl.h"

class CLayerControlRootView;

// A container of controls. It owns its children: they are released when
// removed with destroy set, by RemoveAll and by OnDestroy. Children paint in
// insertion order (the last on top) and are hit-tested from the last.
// Never remove a child from inside one of that child's own events.
class CLayerControlGroup : public CLayerControlBase {
 public:
  CLayerControlGroup() : CLayerControlBase(kLayerGroup) {}
  ~CLayerControlGroup() override;

  // Takes ownership; the first child with an id stays the one GetChild finds.
  virtual void AddChild(ILayerControl* child, int reserved = 0);
  template <typename T>
  T* AddChild(std::unique_ptr<T> child) {
    T* raw = child.release();
    AddChild(raw);
    return raw;
  }
  virtual void RemoveChild(ILayerControl* child, bool destroy, bool redraw);
  virtual void RemoveChildByID(int id, bool destroy, bool redraw);
  virtual void RemoveAll(bool redraw);
  virtual ILayerControl* GetChild(int id);
  // The topmost visible non-group control under the window point, or null.
  virtual ILayerControl* ChildFromPoint(int x, int y);
  virtual ILayerControl* GetHoverControl() { return nullptr; }
  virtual void SetHoverControl(ILayerControl*) {}
  virtual ILayerControl* GetPressedControl() { return nullptr; }
  virtual void SetPressedControl(ILayerControl*) {}
  virtual void InvalidateAll() { Invalidate(); }
  virtual void Reserved() {}
  virtual void DrawBackground(HDC dc);
  virtual CLayerControlRootView* GetRoot();

  void SetBkColor(COLORREF color, bool redraw);
  COLORREF GetBkColor() const { return bkColor_; }
  const std::vector<ILayerControl*>& Children() const { return children_; }

  void SetPage(int page, bool redraw) override;
  void OnDestroy() override { RemoveAll(false); }
  void OnTimer(UINT id) override;
  void Paint(HDC dc) override;

 protected:
  // Whether the page filter lets `child` take part.
  bool PassesPage(ILayerControl* child);

 private:
  std::vector<ILayerControl*> children_;
  std::map<UINT, ILayerControl*> index_;
  COLORREF bkColor_ = static_cast<COLORREF>(-1);
};

// A group that is a group (root views included), or null.
CLayerControlGroup* AsLayerGroup(ILayerControl* control);
