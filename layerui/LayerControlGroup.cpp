#include "layerui/LayerControlGroup.h"

#include <algorithm>

#include "layerui/LayerDraw.h"
#include "layerui/LayerRootView.h"

CLayerControlGroup* AsLayerGroup(ILayerControl* control) {
  return dynamic_cast<CLayerControlGroup*>(control);
}

CLayerControlGroup::~CLayerControlGroup() {
  for (ILayerControl* child : children_) child->Release();
}

void CLayerControlGroup::AddChild(ILayerControl* child, int) {
  if (!child) return;
  child->SetParentControl(this);
  children_.push_back(child);
  index_.emplace(static_cast<UINT>(child->GetID()), child);
}

void CLayerControlGroup::RemoveChild(ILayerControl* child, bool destroy, bool redraw) {
  if (!child) return;
  if (CLayerControlRootView* root = GetRoot()) root->ForgetControl(child);
  const size_t before = children_.size();
  children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
  if (children_.size() == before) return;  // not ours: neither unindex nor delete it
  for (auto it = index_.begin(); it != index_.end();)
    it = it->second == child ? index_.erase(it) : std::next(it);
  // A later child with the same id becomes the one GetChild finds.
  for (ILayerControl* other : children_)
    index_.emplace(static_cast<UINT>(other->GetID()), other);
  if (destroy) {
    child->OnDestroy();
    child->Release();
  }
  if (redraw) Invalidate();
}

void CLayerControlGroup::RemoveChildByID(int id, bool destroy, bool redraw) {
  if (ILayerControl* child = GetChild(id)) RemoveChild(child, destroy, redraw);
}

void CLayerControlGroup::RemoveAll(bool redraw) {
  if (CLayerControlRootView* root = GetRoot()) {
    root->SetHoverControl(nullptr);
    root->SetPressedControl(nullptr);
  }
  std::vector<ILayerControl*> children;
  children.swap(children_);
  index_.clear();
  for (ILayerControl* child : children) {
    child->OnDestroy();
    child->Release();
  }
  if (redraw) Invalidate();
}

ILayerControl* CLayerControlGroup::GetChild(int id) {
  const auto it = index_.find(static_cast<UINT>(id));
  return it == index_.end() ? nullptr : it->second;
}

bool CLayerControlGroup::PassesPage(ILayerControl* child) {
  return page_ == -1 || child->GetPage() == -1 || child->GetPage() == page_;
}

ILayerControl* CLayerControlGroup::ChildFromPoint(int x, int y) {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    ILayerControl* child = *it;
    if (!PassesPage(child) || !child->IsVisible() || !child->HitTest(x, y)) continue;
    if (CLayerControlGroup* group = AsLayerGroup(child)) return group->ChildFromPoint(x, y);
    return child;
  }
  return nullptr;
}

void CLayerControlGroup::DrawBackground(HDC dc) {
  if (bkColor_ != static_cast<COLORREF>(-1)) LayerFillRect(dc, rect_, bkColor_, 254);
}

CLayerControlRootView* CLayerControlGroup::GetRoot() {
  ILayerControl* control = this;
  while (control) {
    if (control->GetType() == kLayerRootView) return static_cast<CLayerControlRootView*>(control);
    control = control->GetParentControl();
  }
  return nullptr;
}

void CLayerControlGroup::SetBkColor(COLORREF color, bool redraw) {
  if (bkColor_ == color) return;
  bkColor_ = color;
  if (redraw) Invalidate();
}

void CLayerControlGroup::SetPage(int page, bool redraw) {
  page_ = page;
  if (redraw) Invalidate();
}

void CLayerControlGroup::OnTimer(UINT id) {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    ILayerControl* child = *it;
    if (!PassesPage(child) || !child->IsVisible()) continue;
    if (AsLayerGroup(child))
      child->OnTimer(id);
    else if (child->GetTimerID() == static_cast<int>(id))
      child->OnTimer(id);
  }
}

void CLayerControlGroup::Paint(HDC dc) {
  if (!visible_) return;
  DrawBackground(dc);
  if (children_.empty()) return;
  POINT oldOrigin{};
  ::OffsetViewportOrgEx(dc, rect_.left, rect_.top, &oldOrigin);
  const bool frames = window_ && window_->GetDrawControlFrames();
  for (ILayerControl* child : children_) {
    if (!PassesPage(child) || !child->IsVisible()) continue;
    RECT childRect{};
    child->GetRect(&childRect);
    if (!::RectVisible(dc, &childRect)) continue;
    const int saved = ::SaveDC(dc);
    child->Paint(dc);
    ::RestoreDC(dc, saved);
    if (frames) ::DrawFocusRect(dc, &childRect);
  }
  ::SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
}
