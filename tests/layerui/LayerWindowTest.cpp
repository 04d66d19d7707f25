// Real toolkit windows under the test display.
#include <gtest/gtest.h>

#include <vector>

#include "layerui/LayerButton.h"
#include "layerui/LayerImageCtrl.h"
#include "layerui/LayerLabel.h"
#include "layerui/LayerResManager.h"
#include "layerui/LayerTestSupport.h"
#include "layerui/LayerWindowBase.h"
#include "layerui/LayerDraw.h"
#include "layerui/SkinFixture.h"

namespace lumo::test {
namespace {

constexpr int kButtonId = 100;
constexpr int kLabelId = 101;

// A window with a button at (20, 20, 120, 60) and a label below it.
template <typename TTraits>
class TestWindow : public CLayerWindowBase<TestWindow<TTraits>, TTraits> {
  using Base = CLayerWindowBase<TestWindow<TTraits>, TTraits>;

 public:
  std::vector<int> commands;
  int backgroundsDrawn = 0;

  ~TestWindow() override { this->DestroyWindow(); }

  BEGIN_MSG_MAP(TestWindow)
    CHAIN_MSG_MAP(Base)
    MESSAGE_HANDLER(WM_COMMAND, OnCommand)
  END_MSG_MAP()

 protected:
  void OnCreate() override {
    auto button = std::make_unique<CLayerButtonCtrl>();
    button->Create(this->m_hWnd, this, kButtonId, 20, 20, 100, 40);
    this->GetRootView()->AddChild(std::move(button));
    auto label = std::make_unique<CLayerLabelCtrl>();
    label->Create(this->m_hWnd, this, kLabelId, 20, 80, 100, 20);
    this->GetRootView()->AddChild(std::move(label));
  }
  void DrawBackground(HDC dc, const RECT& client) override {
    ++backgroundsDrawn;
    Base::DrawBackground(dc, client);
  }

 private:
  LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&) {
    commands.push_back(LOWORD(wParam));
    return 0;
  }
};

using LayeredWindow = TestWindow<CLayeredWinTraits>;
using PlainWindow = TestWindow<CPlainWinTraits>;

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  ::GetObjectW(bitmap, sizeof(info), &info);
  return SIZE{info.bmWidth, info.bmHeight};
}

template <typename Window>
void CreateShown(Window& window, int width, int height) {
  RECT rect{100, 100, 100 + width, 100 + height};
  ASSERT_NE(window.Create(nullptr, &rect), nullptr);
  ::ShowWindow(window.m_hWnd, SW_SHOWNOACTIVATE);
}

LPARAM ClientPoint(int x, int y) { return MAKELPARAM(x, y); }

TEST(LayerWindowTest, TimerUseCountKeepsOneSystemTimer) {
  PlainWindow window;
  CreateShown(window, 200, 150);
  EXPECT_EQ(window.SetLayerTimer(7, 100), 1);
  EXPECT_EQ(window.SetLayerTimer(7, 100), 1);
  EXPECT_EQ(window.GetTimerUseCount(7), 2);
  EXPECT_EQ(window.KillLayerTimer(7), 1);
  EXPECT_EQ(window.GetTimerUseCount(7), 0);
  EXPECT_EQ(window.KillLayerTimer(7), 0);
  // The system timer is gone too: killing it again fails.
  EXPECT_FALSE(::KillTimer(window.m_hWnd, 7));

  PlainWindow notCreated;
  EXPECT_EQ(notCreated.SetLayerTimer(7, 100), 0);
  EXPECT_EQ(notCreated.GetTimerUseCount(7), 0);
}

TEST(LayerWindowTest, BackgroundAndDragThroughControlsMoveTheWindow) {
  LayeredWindow window;
  CreateShown(window, 200, 150);
  RECT frame{};
  ::GetWindowRect(window.m_hWnd, &frame);
  const struct {
    const char* name;
    int x, y;
    LRESULT hit;
  } cases[] = {
      {"background", 150, 130, HTCAPTION},
      {"label", 30, 90, HTCAPTION},
      {"button", 30, 30, HTCLIENT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(::SendMessageW(window.m_hWnd, WM_NCHITTEST, 0,
                             MAKELPARAM(frame.left + c.x, frame.top + c.y)),
              c.hit);
  }
}

TEST(LayerWindowTest, PostedPressAndReleaseClickTheButtonOnce) {
  LayeredWindow window;
  CreateShown(window, 200, 150);
  ::PostMessageW(window.m_hWnd, WM_MOUSEMOVE, 0, ClientPoint(30, 30));
  ::PostMessageW(window.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(30, 30));
  ::PostMessageW(window.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(150, 130));
  ::PostMessageW(window.m_hWnd, WM_LBUTTONUP, 0, ClientPoint(150, 130));
  EXPECT_TRUE(PumpUntil([&] { return !window.commands.empty(); }));
  EXPECT_EQ(window.commands, std::vector<int>{kButtonId});
}

TEST(LayerWindowTest, ResizingRebuildsSurfaceAndBackground) {
  LayeredWindow window;
  CreateShown(window, 542, 384);
  ASSERT_TRUE(PumpUntil([&] { return window.GetSurfaceBitmap() != nullptr; }));
  EXPECT_EQ(BitmapSize(window.GetSurfaceBitmap()).cx, 542);
  EXPECT_EQ(BitmapSize(window.GetSurfaceBitmap()).cy, 384);
  EXPECT_EQ(window.backgroundsDrawn, 1);

  ::SetWindowPos(window.m_hWnd, nullptr, 0, 0, 542, 468, SWP_NOMOVE | SWP_NOZORDER);
  window.InvalidateLayer(nullptr, 0);
  EXPECT_TRUE(PumpUntil([&] { return BitmapSize(window.GetSurfaceBitmap()).cy == 468; }));
  EXPECT_EQ(window.backgroundsDrawn, 2);
  EXPECT_FALSE(window.IsBackgroundDirty());
}

TEST(LayerWindowTest, RequestsQueuedAtDestructionAreDropped) {
  LayeredWindow window;
  CreateShown(window, 100, 100);
  for (int i = 0; i < 3; ++i) window.InvalidateLayer(std::make_unique<RECT>(RECT{0, 0, 5, 5}), 0);
  window.DestroyWindow();
  MSG msg;
  EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_LAYER_REDRAW, WM_LAYER_REDRAW, PM_NOREMOVE));
}

// Every picture of the skin table in one layered window, at natural size on
// a light backdrop, rendered through the window's own paint path.
class SkinTableWindow : public CLayerWindowBase<SkinTableWindow, CLayeredWinTraits> {
 public:
  static constexpr int kWidth = 1760;
  int height = 0;
  std::vector<int> missing;

  ~SkinTableWindow() override { DestroyWindow(); }

 protected:
  void OnCreate() override {
    CLayerResManager* registry = CLayerResManager::Instance();
    int x = 10, y = 10, rowHeight = 0;
    for (int id = 237; id <= 323; ++id) {
      CImage* image = registry->GetImage(id);
      if (!image) continue;  // not in the table
      if (!image->IsValid()) {
        missing.push_back(id);
        continue;
      }
      if (x + image->GetWidth() > kWidth - 10) {
        x = 10;
        y += rowHeight + 10;
        rowHeight = 0;
      }
      auto control = std::make_unique<CLayerImageCtrl>();
      control->Create(m_hWnd, this, id, x, y, 0, 0, kImageCtrlAutoSize);
      control->SetImage(image, false);
      GetRootView()->AddChild(std::move(control));
      x += image->GetWidth() + 10;
      rowHeight = std::max(rowHeight, image->GetHeight());
    }
    height = y + rowHeight + 10;
  }
  void DrawBackground(HDC dc, const RECT& client) override {
    LayerFillRect(dc, client, RGB(0xE8, 0xEC, 0xF0), 255);
  }
};

class SkinWindowTest : public SkinFixture {};

TEST_F(SkinWindowTest, ShowsEveryPictureOfTheTable) {
  SkinTableWindow window;
  RECT rect{0, 0, SkinTableWindow::kWidth, 200};
  ASSERT_NE(window.Create(nullptr, &rect), nullptr);
  EXPECT_TRUE(window.missing.empty());
  ASSERT_GT(window.height, 0);
  EXPECT_EQ(window.GetRootView()->Children().size(), 35u);

  Surface surface(SkinTableWindow::kWidth, window.height);
  window.PaintSurface(surface.dc(), RECT{0, 0, SkinTableWindow::kWidth, window.height});
  // Each picture left ink of its own on the backdrop.
  const DWORD backdrop = surface.At(2, 2);
  for (ILayerControl* control : window.GetRootView()->Children()) {
    RECT r{};
    control->GetRect(&r);
    EXPECT_GT(surface.CountDifferent(r, backdrop), 0) << control->GetID();
  }
  EXPECT_FALSE(surface.SaveArtifact(L"layered_window_skin_table").empty());
}

}  // namespace
}  // namespace lumo::test
