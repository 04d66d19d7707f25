#include "layerui/Image.h"

#include <gtest/gtest.h>

#include "layerui/LayerTestSupport.h"
#include "support/Sandbox.h"

namespace lumo::test {
namespace {

// Every column of the strip has its own colour: red counts the column inside
// its frame, green names the frame, blue counts the row.
DWORD StripPixel(int x, int y, int frameWidth) {
  const int frame = x / frameWidth, column = x % frameWidth;
  return 0xFF000000u | (column * 2) << 16 | (frame * 100) << 8 | (y * 4);
}

class ImageDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto bitmap = MakeBitmap(288, 32, [](int x, int y) { return StripPixel(x, y, 96); });
    ASSERT_TRUE(bitmap && SavePng(*bitmap, folder_ / L"strip.png"));
    ASSERT_TRUE(image_.LoadFromFile((folder_ / L"strip.png").c_str()));
    image_.SetFrameCount(3);
  }
  TempFolder folder_;
  CImage image_;
};

TEST_F(ImageDrawTest, LoadsSizeAndFrames) {
  EXPECT_TRUE(image_.IsValid());
  EXPECT_EQ(image_.GetWidth(), 288);
  EXPECT_EQ(image_.GetHeight(), 32);
  EXPECT_EQ(image_.GetSize().cx, 288);
  EXPECT_EQ(image_.GetFrameWidth(), 96);
  image_.SetFrameCount(0);  // 0 or less counts as one frame
  EXPECT_EQ(image_.GetFrameWidth(), 288);
}

// A one-frame-wide destination gets the chosen frame's 96 columns unscaled;
// an index outside the strip draws frame 0.
TEST_F(ImageDrawTest, DrawFrameCopiesTheChosenFrameUnscaled) {
  const struct {
    int frame, firstColumn;
  } cases[] = {{0, 0}, {1, 96}, {2, 192}, {3, 0}, {5, 0}, {-1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "frame " << c.frame);
    Surface surface(120, 50);
    ASSERT_TRUE(image_.DrawFrame(surface.dc(), 10, 6, 96, 32, c.frame));
    int wrong = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 96; ++x)
        if (surface.At(10 + x, 6 + y) != StripPixel(c.firstColumn + x, y, 96)) ++wrong;
    EXPECT_EQ(wrong, 0);
    // Nothing outside the destination.
    EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 120, 6}, 0), 0);
    EXPECT_EQ(surface.CountDifferent(RECT{106, 0, 120, 50}, 0), 0);
    EXPECT_EQ(surface.CountDifferent(RECT{0, 38, 120, 50}, 0), 0);
    if (c.frame == 1) surface.SaveArtifact(L"image_drawframe_1");
  }
}

// Only the height follows the destination; a taller destination stretches
// the frame's rows and keeps its columns.
TEST_F(ImageDrawTest, DrawFrameScalesHeightOnly) {
  Surface surface(96, 64);
  ASSERT_TRUE(image_.DrawFrame(surface.dc(), 0, 0, 96, 64, 2));
  for (int x : {0, 40, 95}) {
    EXPECT_EQ(Green(surface.At(x, 30)), 200) << x;
    EXPECT_NEAR(Red(surface.At(x, 30)), 2 * x, 1) << x;
  }
  EXPECT_NEAR(Blue(surface.At(50, 62)), 31 * 4, 4);  // the last row sits at the bottom
}

// A destination wider than a frame never shows the next frame.
TEST_F(ImageDrawTest, DrawFrameWiderThanAFrameStaysInsideTheFrame) {
  Surface surface(192, 32);
  ASSERT_TRUE(image_.DrawFrame(surface.dc(), 0, 0, 192, 32, 1));
  int foreign = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 192; ++x)
      if (Green(surface.At(x, y)) > 150) ++foreign;
  EXPECT_EQ(foreign, 0);
  EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 192, 32}, 0), 192 * 32);
}

TEST(ImageTest, InvalidImagesDrawNothing) {
  TempFolder folder;
  ASSERT_TRUE(WriteFileBytes(folder / L"broken.png", "not a picture"));
  CImage broken, missing, empty;
  EXPECT_FALSE(broken.LoadFromFile((folder / L"broken.png").c_str()));
  EXPECT_FALSE(missing.LoadFromFile((folder / L"missing.png").c_str()));
  EXPECT_FALSE(missing.LoadFromResource(60000, nullptr, L"PNG"));
  Surface surface(20, 20);
  for (CImage* image : {&broken, &missing, &empty}) {
    EXPECT_FALSE(image->IsValid());
    EXPECT_EQ(image->GetWidth(), 0);
    EXPECT_EQ(image->GetHeight(), 0);
    EXPECT_FALSE(image->DrawFrame(surface.dc(), 0, 0, 20, 20, 0));
    EXPECT_FALSE(image->DrawPart(surface.dc(), 0, 0, 20, 20, 0, 0, 20, 20));
  }
  EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 20, 20}, 0), 0);
}

// The test executable carries a 6 x 4 strip of red, green and blue 2 x 4
// frames as "PNG" 901 and a resource that is no picture as 902.
TEST(ImageTest, LoadFromResourceDecodesThePngResource) {
  CImage image;
  ASSERT_TRUE(image.LoadFromResource(901, ::GetModuleHandleW(nullptr), L"PNG"));
  EXPECT_EQ(image.GetWidth(), 6);
  EXPECT_EQ(image.GetHeight(), 4);
  image.SetFrameCount(3);
  Surface surface(2, 4);
  ASSERT_TRUE(image.DrawFrame(surface.dc(), 0, 0, 2, 4, 2));
  EXPECT_EQ(surface.At(1, 3), 0xFF0000FFu);

  // A failed load leaves nothing of the earlier picture behind.
  EXPECT_FALSE(image.LoadFromResource(902, ::GetModuleHandleW(nullptr), L"PNG"));
  EXPECT_FALSE(image.IsValid());
  EXPECT_EQ(image.GetWidth(), 0);
  EXPECT_FALSE(image.LoadFromResource(901, ::GetModuleHandleW(nullptr), L"BMP"));
}

TEST_F(ImageDrawTest, DrawPartCopiesTheSourceRectangle) {
  Surface surface(20, 10);
  ASSERT_TRUE(image_.DrawPart(surface.dc(), 5, 2, 10, 8, 100, 4, 10, 8));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(surface.At(5 + x, 2 + y), StripPixel(100 + x, 4 + y, 96)) << x << "," << y;
}

}  // namespace
}  // namespace lumo::test
