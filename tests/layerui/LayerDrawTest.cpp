#include "layerui/LayerDraw.h"

#include <gtest/gtest.h>

#include "layerui/LayerTestSupport.h"
#include "layerui/MemoryDC.h"

namespace lumo::test {
namespace {

TEST(LayerColorTest, BuildsArgbFromColorrefAndAlpha) {
  EXPECT_EQ(LayerColor(RGB(0x11, 0x22, 0x33), 254), 0xFE112233u);
  EXPECT_EQ(LayerColor(0x00FFFFFF, 0), 0x00FFFFFFu);
}

// The surface starts transparent, as a layered window's does.
TEST(LayerFillRectTest, FillsWithColourAndAlpha254) {
  const struct {
    COLORREF color;
  } cases[] = {{RGB(255, 255, 255)}, {RGB(0x11, 0x88, 0xEE)}};
  for (const auto& c : cases) {
    Surface surface(40, 30);
    LayerFillRect(surface.dc(), RECT{5, 4, 25, 20}, c.color, 254);
    // Premultiplied or not, 254 of 255 leaves each channel within one step.
    const DWORD p = surface.At(10, 10);
    EXPECT_NEAR(Red(p), GetRValue(c.color), 1);
    EXPECT_NEAR(Green(p), GetGValue(c.color), 1);
    EXPECT_NEAR(Blue(p), GetBValue(c.color), 1);
    EXPECT_EQ(Alpha(p), 254);
    EXPECT_EQ(surface.CountDifferent(RECT{5, 4, 25, 20}, 0), 20 * 16);
    EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 40, 30}, 0), 20 * 16);
  }
  Surface untouched(4, 4);
  LayerFillRect(nullptr, RECT{0, 0, 4, 4}, 0, 254);
  EXPECT_EQ(untouched.CountDifferent(RECT{0, 0, 4, 4}, 0), 0);
}

DWORD GridPixel(int x, int y) {
  return 0xFF000000u | (x % 256) << 16 | (x / 256) << 14 | (y / 256) << 12 | (y % 256);
}

// A grid with no left or right border on a 542 x 302 picture, drawn at its
// own size, gives back the picture pixel for pixel.
TEST(LayerDrawNineGridTest, ReproducesThePictureAtNaturalSize) {
  auto bitmap = MakeBitmap(542, 302, GridPixel);
  ASSERT_TRUE(bitmap);
  Surface surface(560, 320);
  LayerDrawNineGrid(surface.dc(), bitmap.get(), RECT{9, 7, 551, 309}, RECT{0, 100, 542, 300});
  int wrong = 0;
  for (int y = 0; y < 302; ++y)
    for (int x = 0; x < 542; ++x)
      if (surface.At(9 + x, 7 + y) != GridPixel(x, y)) ++wrong;
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 560, 320}, 0), 542 * 302);
  surface.SaveArtifact(L"ninegrid_natural");
}

// Corners red, top and bottom edges green, left and right edges blue, centre
// white; stretched, each piece lands where it belongs.
TEST(LayerDrawNineGridTest, KeepsCornersAndStretchesEdges) {
  auto bitmap = MakeBitmap(10, 30, [](int x, int y) -> DWORD {
    const bool edgeX = x < 4 || x >= 6, edgeY = y < 4 || y >= 26;
    if (edgeX && edgeY) return 0xFFFF0000;
    if (edgeY) return 0xFF00FF00;
    if (edgeX) return 0xFF0000FF;
    return 0xFFFFFFFF;
  });
  Surface surface(100, 80);
  LayerDrawNineGrid(surface.dc(), bitmap.get(), RECT{0, 0, 100, 80}, RECT{4, 4, 6, 26});
  const struct {
    int x, y;
    DWORD color;
  } probes[] = {{1, 1, 0xFFFF0000},  {98, 1, 0xFFFF0000}, {1, 78, 0xFFFF0000},
                {98, 78, 0xFFFF0000}, {3, 3, 0xFFFF0000},  {96, 76, 0xFFFF0000},
                {50, 1, 0xFF00FF00},  {50, 78, 0xFF00FF00}, {1, 40, 0xFF0000FF},
                {98, 40, 0xFF0000FF}, {50, 40, 0xFFFFFFFF}, {20, 20, 0xFFFFFFFF}};
  for (const auto& p : probes)
    EXPECT_EQ(surface.At(p.x, p.y), p.color) << p.x << "," << p.y;
  EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 100, 80}, 0), 100 * 80);
  surface.SaveArtifact(L"ninegrid_stretched");
}

// Three equal bands (red, green, blue) across the bar show where each part
// of the picture ends up.
std::unique_ptr<Gdiplus::Bitmap> BandedBar(int width, int height, int first, int second) {
  return MakeBitmap(width, height, [=](int x, int) -> DWORD {
    return x < first ? 0xFFFF0000 : x < second ? 0xFF00FF00 : 0xFF0000FF;
  });
}

TEST(LayerDrawHBarTest, StretchesTheWholePictureToTheDestinationWidth) {
  auto bitmap = BandedBar(489, 10, 163, 326);
  Surface surface(500, 40);
  // A destination taller than the picture: the bar keeps its own height.
  LayerDrawHBar(surface.dc(), bitmap.get(), RECT{0, 5, 420, 35}, 0, 0, true);
  EXPECT_EQ(surface.CountDifferent(RECT{0, 5, 420, 15}, 0), 420 * 10);
  EXPECT_EQ(surface.CountDifferent(RECT{420, 0, 500, 40}, 0), 0);
  EXPECT_EQ(surface.CountDifferent(RECT{0, 15, 500, 40}, 0), 0);
  EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 500, 5}, 0), 0);
  // 163 of 489 columns is 140 of 420.
  const struct {
    int x;
    DWORD color;
  } probes[] = {{0, 0xFFFF0000},   {135, 0xFFFF0000}, {145, 0xFF00FF00},
                {275, 0xFF00FF00}, {285, 0xFF0000FF}, {419, 0xFF0000FF}};
  for (const auto& p : probes) EXPECT_EQ(surface.At(p.x, 10), p.color) << p.x;
  surface.SaveArtifact(L"hbar_489_to_420");

  Surface nothing(50, 10);
  LayerDrawHBar(nothing.dc(), bitmap.get(), RECT{0, 0, 50, 10}, 0, 0, false);
  LayerDrawHBar(nothing.dc(), nullptr, RECT{0, 0, 50, 10}, 0, 0, true);
  EXPECT_EQ(nothing.CountDifferent(RECT{0, 0, 50, 10}, 0), 0);
}

// Left end at the left, middle tiled, right end at the right, all unscaled.
TEST(LayerDrawHBarTest, ThreePartBarTilesTheMiddle) {
  auto bitmap = BandedBar(30, 10, 10, 20);
  Surface surface(120, 10);
  LayerDrawHBar(surface.dc(), bitmap.get(), RECT{0, 0, 105, 10}, 10, 20, true);
  for (int x = 0; x < 105; ++x) {
    const DWORD expected = x < 10 ? 0xFFFF0000 : x < 95 ? 0xFF00FF00 : 0xFF0000FF;
    ASSERT_EQ(surface.At(x, 5), expected) << x;
  }
  EXPECT_EQ(surface.CountDifferent(RECT{105, 0, 120, 10}, 0), 0);
}

TEST(CMemoryDCExTest, DrawsInRectangleCoordinatesAndCopiesBack) {
  Surface target(80, 50);
  {
    CMemoryDCEx memory(target.dc(), RECT{20, 10, 60, 40});
    ASSERT_TRUE(memory.IsValid());
    ASSERT_NE(memory.GetBits(), nullptr);
    LayerFillRect(memory.GetDC(), RECT{20, 10, 30, 20}, RGB(255, 0, 0), 255);
    ::GdiFlush();
    EXPECT_EQ(memory.GetBits()[0] & 0x00FFFFFF, 0x00FF0000u);
    EXPECT_EQ(target.CountDifferent(RECT{0, 0, 80, 50}, 0), 0);  // not yet copied
  }
  EXPECT_EQ(target.At(20, 10) & 0x00FFFFFF, 0x00FF0000u);
  EXPECT_EQ(target.CountDifferent(RECT{0, 0, 80, 50}, 0), 10 * 10);
  {
    CMemoryDCEx noCopy(target.dc(), RECT{0, 0, 10, 10}, false, false);
    ASSERT_TRUE(noCopy.IsValid());
    EXPECT_EQ(noCopy.GetBits(), nullptr);
    LayerFillRect(noCopy.GetDC(), RECT{0, 0, 10, 10}, RGB(0, 255, 0), 255);
  }
  EXPECT_EQ(target.CountDifferent(RECT{0, 0, 10, 10}, 0), 0);
  EXPECT_FALSE(CMemoryDCEx(target.dc(), RECT{5, 5, 5, 9}).IsValid());
}

}  // namespace
}  // namespace lumo::test
