// The standard controls painted into test surfaces, with test pictures of
// known pixels.
#include <gtest/gtest.h>

#include "layerui/LayerButton.h"
#include "layerui/LayerCheckbox.h"
#include "layerui/LayerImageCtrl.h"
#include "layerui/LayerProgress.h"
#include "layerui/LayerTestSupport.h"

namespace lumo::test {
namespace {

constexpr UINT kStripPng = 901;  // 6 x 4: red, green, blue frames of 2 x 4
constexpr UINT kTrackPng = 911;  // 489 x 10 opaque grey
constexpr UINT kFillPng = 912;   // 489 x 10 opaque blue

std::unique_ptr<CImage> LoadTestImage(UINT id, int frames) {
  auto image = std::make_unique<CImage>();
  if (!image->LoadFromResource(id, ::GetModuleHandleW(nullptr), L"PNG")) return nullptr;
  image->SetFrameCount(frames);
  return image;
}

// Where the button goes on screen it shows frame `state` of its strip:
// three-frame strips show frame 0 when disabled.
TEST(LayerButtonCtrlTest, DrawsTheFrameOfItsState) {
  auto strip = LoadTestImage(kStripPng, 3);
  ASSERT_TRUE(strip);
  const struct {
    const char* name;
    bool hover, pressed, enabled;
    DWORD color;
  } cases[] = {
      {"normal", false, false, true, 0xFFFF0000},
      {"hover", true, false, true, 0xFF00FF00},
      {"pressed", true, true, true, 0xFF0000FF},
      {"disabled", true, true, false, 0xFFFF0000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CLayerButtonCtrl button;
    button.Create(nullptr, nullptr, 1, 3, 2, 2, 4);
    button.SetImage(strip.get());
    int handled = 0;
    if (c.hover) button.OnMouseHover(0, 0, 0);
    if (c.pressed) button.OnLButtonDown(0, 0, 0, &handled);
    button.SetEnabled(c.enabled, false);
    Surface surface(8, 8);
    button.Paint(surface.dc());
    EXPECT_EQ(surface.At(3, 2), c.color);
    EXPECT_EQ(surface.At(4, 5), c.color);
    EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 8, 8}, 0), 2 * 4);
  }
}

TEST(LayerButtonCtrlTest, WithoutPictureOrFontDrawsNothing) {
  CLayerButtonCtrl button;
  button.Create(nullptr, nullptr, 1, 0, 0, 20, 10);
  button.SetText(L"确定", false);
  Surface surface(20, 10);
  button.Paint(surface.dc());
  EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 20, 10}, 0), 0);
}

// Check boxes use the frame of their state, plus 4 when checked, at the left
// edge, centred vertically.
TEST(LayerCheckboxCtrlTest, DrawsTheCheckedFramesCentredAtTheLeft) {
  auto strip = LoadTestImage(kStripPng, 3);
  ASSERT_TRUE(strip);
  CLayerCheckboxCtrl box;
  box.Create(nullptr, nullptr, 1, 1, 0, 30, 10);
  box.SetImage(strip.get());
  Surface unchecked(32, 12);
  box.Paint(unchecked.dc());
  EXPECT_EQ(unchecked.InkBounds(0).left, 1);
  EXPECT_EQ(unchecked.InkBounds(0).top, 3);  // (10 - 4) / 2
  EXPECT_EQ(unchecked.At(1, 3), 0xFFFF0000);

  // Frame 4 lies outside a three-frame strip and falls back to frame 0; the
  // hover frame 1 + 4 likewise.
  box.SetCheck(true, false);
  EXPECT_TRUE(box.GetCheck());
  Surface checked(32, 12);
  box.Paint(checked.dc());
  EXPECT_EQ(checked.At(1, 3), 0xFFFF0000);
}

TEST(LayerImageCtrlTest, CentresThePictureAndTakesItsSizeWhenAsked) {
  auto strip = LoadTestImage(kStripPng, 1);
  ASSERT_TRUE(strip);
  CLayerImageCtrl centred;
  centred.Create(nullptr, nullptr, 1, 0, 0, 10, 10);
  centred.SetImage(strip.get(), false);
  Surface surface(10, 10);
  centred.Paint(surface.dc());
  const RECT ink = surface.InkBounds(0);
  EXPECT_EQ(ink.left, 2);
  EXPECT_EQ(ink.top, 3);
  EXPECT_EQ(ink.right, 8);
  EXPECT_EQ(ink.bottom, 7);

  CLayerImageCtrl sized;
  sized.Create(nullptr, nullptr, 2, 22, 45, 10, 10, kImageCtrlAutoSize);
  sized.SetImage(strip.get(), false);
  RECT rect{};
  sized.GetRect(&rect);
  EXPECT_EQ(rect.right, 22 + 6);
  EXPECT_EQ(rect.bottom, 45 + 4);
}

// A 420 x 10 bar of range 100: 0 draws the track only, 1 a fill of 4 pixels
// (1 % of 420, truncated), 50 a fill of 210 and 150 a full fill.
TEST(LayerProgressTest, FillLengthFollowsThePosition) {
  auto track = LoadTestImage(kTrackPng, 1);
  auto fill = LoadTestImage(kFillPng, 1);
  ASSERT_TRUE(track && fill);
  const struct {
    std::uint64_t position;
    int fillPixels;
  } cases[] = {{0, 0}, {1, 4}, {50, 210}, {150, 420}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.position);
    CLayerProgress bar;
    bar.Create(nullptr, nullptr, 1, 10, 5, 420, 10);
    bar.SetTrack(track.get(), 0, 0);
    bar.SetFill(fill.get(), 0, 0);
    bar.SetPos(c.position, false);
    Surface surface(440, 20);
    bar.Paint(surface.dc());
    int blue = 0, grey = 0;
    for (int x = 0; x < 440; ++x) {
      const DWORD p = surface.At(x, 10);
      blue += p == 0xFF2080FF;
      grey += p == 0xFFDDDDDD;
    }
    EXPECT_EQ(blue, c.fillPixels);
    EXPECT_EQ(grey, 420 - c.fillPixels);
    EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 440, 20}, 0), 420 * 10);
    if (c.fillPixels) {
      EXPECT_EQ(surface.At(10, 5), 0xFF2080FFu);
    }
  }
}

TEST(LayerProgressTest, EmptyRangeShowsNoFill) {
  CLayerProgress bar;
  bar.Create(nullptr, nullptr, 1, 0, 0, 420, 10);
  bar.SetRange(0, false);
  bar.SetPos(5, false);
  EXPECT_EQ(bar.FillLength(), 0);
}

}  // namespace
}  // namespace lumo::test
