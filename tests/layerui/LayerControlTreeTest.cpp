// The control tree without a real window: a recording ILayerWindow stands in.
#include <gtest/gtest.h>

#include <vector>

#include "layerui/LayerButton.h"
#include "layerui/LayerCheckbox.h"
#include "layerui/LayerControlGroup.h"
#include "layerui/LayerRootView.h"
#include "layerui/LayerTestSupport.h"

namespace lumo::test {
namespace {

// Records what controls ask of their window.
class RecordingWindow : public ILayerWindow {
 public:
  struct Posted {
    UINT msg;
    WPARAM wParam;
  };
  std::vector<RECT> invalidated;
  std::vector<Posted> posted;

  int GetDrawControlFrames() override { return 0; }
  void SetDrawControlFrames(int) override {}
  HWND GetHwnd() override { return nullptr; }
  void ShowToolTip(int, const std::wstring&) override {}
  int SetLayerTimer(UINT, UINT) override { return 1; }
  int KillLayerTimer(UINT) override { return 1; }
  int PostLayerMessage(UINT msg, WPARAM wParam, LPARAM, ILayerControl*) override {
    posted.push_back({msg, wParam});
    return 1;
  }
  LRESULT SendLayerMessage(UINT, WPARAM, LPARAM, ILayerControl*) override { return 0; }
  int InvalidateLayer(std::unique_ptr<RECT> rect, int) override {
    invalidated.push_back(rect ? *rect : RECT{-1, -1, -1, -1});
    return 1;
  }
  int Clicks(int id) const {
    int n = 0;
    for (const Posted& p : posted) n += p.msg == WM_COMMAND && LOWORD(p.wParam) == id;
    return n;
  }
};

// A button that reports its events and its own deletion.
class ProbeButton : public CLayerButtonCtrl {
 public:
  explicit ProbeButton(std::vector<std::string>* log) : log_(log) {}
  ~ProbeButton() override { log_->push_back("deleted " + std::to_string(id_)); }
  void OnMouseHover(UINT flags, int x, int y) override {
    last = POINT{x, y};
    CLayerButtonCtrl::OnMouseHover(flags, x, y);
  }
  void OnMouseLeave() override {
    log_->push_back("leave " + std::to_string(id_));
    CLayerButtonCtrl::OnMouseLeave();
  }
  void OnLButtonDown(UINT flags, int x, int y, int* handled) override {
    last = POINT{x, y};
    log_->push_back("down " + std::to_string(id_));
    CLayerButtonCtrl::OnLButtonDown(flags, x, y, handled);
  }
  POINT last{-1, -1};

 private:
  std::vector<std::string>* log_;
};

class ControlTreeTest : public ::testing::Test {
 protected:
  void SetUp() override { root_.Create(nullptr, &window_, -1, 0, 0, 542, 384); }

  ProbeButton* AddButton(CLayerControlGroup& parent, int id, const RECT& rect) {
    auto button = std::make_unique<ProbeButton>(&log_);
    button->Create(nullptr, &window_, id, rect);
    return parent.AddChild(std::move(button));
  }
  CLayerControlGroup* AddGroup(const RECT& rect) {
    auto group = std::make_unique<CLayerControlGroup>();
    group->Create(nullptr, &window_, 50, rect);
    return root_.AddChild(std::move(group));
  }
  void Press(int x, int y) {
    int handled = 0;
    root_.OnLButtonDown(0, x, y, &handled);
  }
  void Release(int x, int y) {
    int handled = 0;
    root_.OnLButtonUp(0, x, y, &handled);
  }

  RecordingWindow window_;
  std::vector<std::string> log_;
  CLayerControlRootView root_;
};

TEST_F(ControlTreeTest, MapsNestedRectanglesAndEventPointsToWindowSpace) {
  CLayerControlGroup* group = AddGroup(RECT{100, 200, 300, 400});
  ProbeButton* button = AddButton(*group, 7, RECT{10, 10, 50, 30});
  RECT windowRect{};
  button->GetWindowRect(&windowRect);
  EXPECT_EQ(windowRect.left, 110);
  EXPECT_EQ(windowRect.top, 210);
  EXPECT_EQ(windowRect.right, 150);
  EXPECT_EQ(windowRect.bottom, 230);

  EXPECT_EQ(root_.ChildFromPoint(120, 215), button);
  Press(120, 215);
  EXPECT_EQ(button->last.x, 20);
  EXPECT_EQ(button->last.y, 15);
  root_.OnMouseMove(0, 121, 216);
  EXPECT_EQ(button->last.x, 21);
  EXPECT_EQ(button->last.y, 16);
  // Inside the group but outside its children: background, never the group.
  EXPECT_EQ(root_.ChildFromPoint(250, 350), nullptr);
}

TEST_F(ControlTreeTest, PressGoesToTheTopmostVisibleControl) {
  ProbeButton* below = AddButton(root_, 1, RECT{0, 0, 100, 50});
  ProbeButton* above = AddButton(root_, 2, RECT{50, 0, 150, 50});
  Press(75, 25);
  EXPECT_EQ(root_.GetPressedControl(), above);

  above->SetVisible(false, false);
  Release(75, 25);
  Press(75, 25);
  EXPECT_EQ(root_.GetPressedControl(), below);
  Release(75, 25);
  EXPECT_EQ(window_.Clicks(2), 1);
  EXPECT_EQ(window_.Clicks(1), 1);

  below->SetVisible(false, false);
  Press(75, 25);  // nothing left: the window would be dragged
  EXPECT_EQ(root_.GetPressedControl(), nullptr);
}

TEST_F(ControlTreeTest, ReleaseDecidesTheClick) {
  const struct {
    const char* name;
    bool leaveWindow;
    POINT release;
    int clicks;
  } cases[] = {
      {"release on the button", false, {20, 20}, 1},
      {"release elsewhere inside the window", false, {400, 300}, 1},
      {"mouse left the window before the release", true, {400, 300}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingWindow window;
    CLayerControlRootView root;
    root.Create(nullptr, &window, -1, 0, 0, 542, 384);
    auto button = std::make_unique<CLayerButtonCtrl>();
    button->Create(nullptr, &window, 9, 10, 10, 50, 30);
    CLayerButtonCtrl* raw = root.AddChild(std::move(button));
    int handled = 0;
    root.OnMouseMove(0, 20, 20);
    root.OnLButtonDown(0, 20, 20, &handled);
    EXPECT_TRUE(raw->IsPressed());
    if (c.leaveWindow) root.OnMouseLeave();
    root.OnLButtonUp(0, c.release.x, c.release.y, &handled);
    EXPECT_EQ(window.Clicks(9), c.clicks);
    EXPECT_FALSE(raw->IsPressed());  // never left drawn pressed
  }
}

TEST_F(ControlTreeTest, DisabledControlIgnoresThePress) {
  ProbeButton* button = AddButton(root_, 3, RECT{0, 0, 100, 50});
  button->SetEnabled(false, false);
  Press(10, 10);
  Release(10, 10);
  EXPECT_EQ(window_.Clicks(3), 0);
  EXPECT_EQ(button->GetState(), kButtonDisabled);
}

TEST_F(ControlTreeTest, RemovingTheHoverControlForgetsIt) {
  ProbeButton* button = AddButton(root_, 4, RECT{0, 0, 100, 50});
  root_.OnMouseMove(0, 10, 10);
  ASSERT_EQ(root_.GetHoverControl(), button);
  root_.RemoveChild(button, true, false);
  EXPECT_EQ(root_.GetHoverControl(), nullptr);
  EXPECT_EQ(root_.GetChild(4), nullptr);
  root_.OnMouseMove(0, 300, 300);
  root_.OnMouseLeave();
  EXPECT_EQ(log_, (std::vector<std::string>{"deleted 4"}));
}

TEST_F(ControlTreeTest, RemovingAGroupForgetsThePressedControlInsideIt) {
  CLayerControlGroup* group = AddGroup(RECT{100, 100, 200, 200});
  AddButton(*group, 5, RECT{0, 0, 50, 50});
  Press(110, 110);
  ASSERT_NE(root_.GetPressedControl(), nullptr);
  root_.RemoveChild(group, true, false);
  EXPECT_EQ(root_.GetPressedControl(), nullptr);
  Release(110, 110);  // must not reach the deleted button
  EXPECT_EQ(window_.Clicks(5), 0);
}

TEST_F(ControlTreeTest, FirstChildWithAnIdKeepsTheIndex) {
  ProbeButton* first = AddButton(root_, 6, RECT{0, 0, 10, 10});
  ProbeButton* second = AddButton(root_, 6, RECT{20, 0, 30, 10});
  EXPECT_EQ(root_.GetChild(6), first);
  root_.RemoveChild(first, true, false);
  EXPECT_EQ(root_.GetChild(6), second);
}

TEST_F(ControlTreeTest, SetRectRepaintsTheUnionOfOldAndNewPlaces) {
  CLayerControlGroup* group = AddGroup(RECT{100, 200, 300, 400});
  ProbeButton* button = AddButton(*group, 8, RECT{10, 10, 50, 30});
  window_.invalidated.clear();
  const RECT same{10, 10, 50, 30};
  button->SetRect(&same, true);
  EXPECT_TRUE(window_.invalidated.empty());
  button->Offset(10, 0, true);
  ASSERT_EQ(window_.invalidated.size(), 1u);
  const RECT& r = window_.invalidated[0];
  EXPECT_EQ(r.left, 110);
  EXPECT_EQ(r.top, 210);
  EXPECT_EQ(r.right, 160);
  EXPECT_EQ(r.bottom, 230);
}

TEST_F(ControlTreeTest, TimerTicksReachOnlyVisibleOwners) {
  struct TickCounter : CLayerControlBase {
    int ticks = 0;
    void OnTimer(UINT) override { ++ticks; }
  };
  CLayerControlGroup* group = AddGroup(RECT{0, 0, 100, 100});
  auto make = [&](CLayerControlGroup& parent, int id) {
    auto control = std::make_unique<TickCounter>();
    control->Create(nullptr, &window_, id, 0, 0, 10, 10);
    return parent.AddChild(std::move(control));
  };
  TickCounter* nested = make(*group, 11);
  TickCounter* hidden = make(root_, 12);
  TickCounter* idle = make(root_, 13);
  nested->StartTimer(100);
  hidden->StartTimer(100);
  hidden->SetVisible(false, false);
  root_.OnTimer(11);
  root_.OnTimer(12);
  EXPECT_EQ(nested->ticks, 1);
  EXPECT_EQ(hidden->ticks, 0);
  EXPECT_EQ(idle->ticks, 0);
}

TEST_F(ControlTreeTest, CheckBoxTogglesBeforeItsClickIsPosted) {
  auto box = std::make_unique<CLayerCheckboxCtrl>();
  box->Create(nullptr, &window_, 20, 0, 0, 100, 20);
  CLayerCheckboxCtrl* checkBox = root_.AddChild(std::move(box));
  Press(5, 5);
  Release(5, 5);
  EXPECT_TRUE(checkBox->GetCheck());
  EXPECT_EQ(window_.Clicks(20), 1);
  Press(5, 5);
  Release(5, 5);
  EXPECT_FALSE(checkBox->GetCheck());

  // Disabled while the button is down: no toggle, no click.
  Press(5, 5);
  checkBox->SetEnabled(false, false);
  Release(5, 5);
  EXPECT_FALSE(checkBox->GetCheck());
  EXPECT_EQ(window_.Clicks(20), 2);
}

TEST(LayerControlGroupTest, FillsItsBackgroundWhiteAtAlpha254BeforeTheChildren) {
  CLayerControlGroup group;
  group.Create(nullptr, nullptr, 1, RECT{10, 20, 60, 50});
  group.SetBkColor(RGB(255, 255, 255), false);
  auto child = std::make_unique<CLayerControlGroup>();
  child->Create(nullptr, nullptr, 2, RECT{5, 5, 15, 15});  // at (15, 25) in the surface
  child->SetBkColor(RGB(255, 0, 0), false);
  group.AddChild(std::move(child));

  Surface surface(80, 80);
  group.Paint(surface.dc());
  // Premultiplied or not, 254 of 255 leaves each channel within one step.
  for (POINT p : {POINT{12, 22}, POINT{59, 49}, POINT{14, 40}, POINT{25, 35}}) {
    const DWORD pixel = surface.At(p.x, p.y);
    EXPECT_EQ(Alpha(pixel), 254) << p.x << "," << p.y;
    EXPECT_NEAR(Red(pixel), 255, 1);
    EXPECT_NEAR(Green(pixel), 255, 1);
    EXPECT_NEAR(Blue(pixel), 255, 1);
  }
  // The child's red at 254 composited over the white: red wins, nearly opaque.
  const DWORD red = surface.At(16, 26);
  EXPECT_GE(Alpha(red), 254);
  EXPECT_NEAR(Red(red), 255, 1);
  EXPECT_LE(Green(red), 1);
  EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 80, 80}, 0), 50 * 30);
}

}  // namespace
}  // namespace lumo::test
