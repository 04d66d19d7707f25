#include "layerui/LayerResManager.h"

#include <gtest/gtest.h>

#include "layerui/DefaultFont.h"
#include "layerui/ResInitializer.h"

namespace lumo::test {
namespace {

// The test executable's "PNG" resources: 901 a 6 x 4 picture, 902 bytes that
// are no picture; 903 does not exist.
class LayerResManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_ = CLayerResManager::Instance();
    ASSERT_NE(registry_, nullptr);
    registry_->ReleaseAll();
  }
  void TearDown() override { registry_->ReleaseAll(); }
  static std::wstring Face() {
    CDefaultFont::Instance()->ChooseFace();
    return CDefaultFont::Instance()->GetFaceName();
  }
  CLayerResManager* registry_ = nullptr;
};

TEST_F(LayerResManagerTest, ImagesLoadOnFirstFetchAndStay) {
  ASSERT_EQ(registry_->AddImage(11, 901, 3), 1);
  CImage* image = registry_->GetImage(11);
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(image->IsValid());
  EXPECT_EQ(image->GetWidth(), 6);
  EXPECT_EQ(image->GetHeight(), 4);
  EXPECT_EQ(image->GetFrameCount(), 3);
  EXPECT_EQ(image->GetFrameWidth(), 2);
  EXPECT_EQ(registry_->GetImage(11), image);
}

// A picture that cannot be loaded still gives an (invalid) image, the same
// one every time.
TEST_F(LayerResManagerTest, FailedLoadsGiveTheSameInvalidImage) {
  for (UINT id : {902u, 903u}) {
    ASSERT_EQ(registry_->AddImage(static_cast<int>(id), id, 1), 1);
    CImage* image = registry_->GetImage(static_cast<int>(id));
    ASSERT_NE(image, nullptr) << id;
    EXPECT_FALSE(image->IsValid()) << id;
    EXPECT_EQ(registry_->GetImage(static_cast<int>(id)), image) << id;
  }
}

TEST_F(LayerResManagerTest, DuplicateKeysAreRefusedAndKeepTheFirstEntry) {
  EXPECT_EQ(registry_->AddImage(20, 901, 3), 1);
  EXPECT_EQ(registry_->AddImage(20, 903, 8), 0);
  ASSERT_NE(registry_->GetImage(20), nullptr);
  EXPECT_TRUE(registry_->GetImage(20)->IsValid());
  EXPECT_EQ(registry_->GetImage(20)->GetFrameCount(), 3);

  EXPECT_EQ(registry_->AddFont(20, Face(), 12, 0), 1);
  EXPECT_EQ(registry_->AddFont(20, Face(), 22, 1), 0);
  ASSERT_NE(registry_->GetFont(20), nullptr);
  EXPECT_EQ(registry_->GetFont(20)->GetSize(), 12.0f);

  EXPECT_EQ(registry_->AddCursor(20, 32649, true), 1);
  EXPECT_EQ(registry_->AddCursor(20, 32512, true), 0);
  EXPECT_EQ(registry_->GetCursor(20), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(LayerResManagerTest, UnknownKeysAndMinusOneGiveNull) {
  registry_->AddImage(-1, 901, 1);
  registry_->AddFont(-1, L"Tahoma", 12, 0);
  registry_->AddCursor(-1, 32649, true);
  for (int key : {-1, 0, 5, 1001}) {
    EXPECT_EQ(registry_->GetImage(key), nullptr) << key;
    EXPECT_EQ(registry_->GetFont(key), nullptr) << key;
    EXPECT_EQ(registry_->GetCursor(key), nullptr) << key;
  }
}

TEST_F(LayerResManagerTest, FontsAreCreatedOnceInPixels) {
  const std::wstring face = Face();
  const struct {
    int key, size, style;
  } cases[] = {{31, 22, Gdiplus::FontStyleRegular},
               {32, 15, Gdiplus::FontStyleBold},
               {33, 12, Gdiplus::FontStyleUnderline}};
  for (const auto& c : cases) {
    ASSERT_EQ(registry_->AddFont(c.key, face, c.size, c.style), 1);
    Gdiplus::Font* font = registry_->GetFont(c.key);
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->IsAvailable()) << c.key;
    EXPECT_EQ(font->GetSize(), static_cast<Gdiplus::REAL>(c.size));
    EXPECT_EQ(font->GetStyle(), c.style);
    EXPECT_EQ(font->GetUnit(), Gdiplus::UnitPixel);
    EXPECT_EQ(registry_->GetFont(c.key), font);
  }
}

TEST_F(LayerResManagerTest, ReleaseAllForgetsEveryEntry) {
  registry_->AddImage(40, 901, 1);
  registry_->AddFont(40, L"Tahoma", 12, 0);
  registry_->AddCursor(40, 32649, true);
  ASSERT_NE(registry_->GetImage(40), nullptr);
  registry_->ReleaseAll();
  EXPECT_EQ(registry_->GetImage(40), nullptr);
  EXPECT_EQ(registry_->GetFont(40), nullptr);
  EXPECT_EQ(registry_->GetCursor(40), nullptr);
  EXPECT_EQ(registry_->AddImage(40, 901, 1), 1);
}

TEST_F(LayerResManagerTest, ResInitializerRegistersTheToolkitResources) {
  ASSERT_TRUE(CDefaultFont::Instance()->ChooseFace());
  ResInitializer resources;
  ASSERT_TRUE(resources.Init());

  Gdiplus::Font* caption = registry_->GetFont(ResInitializer::kFont17);
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->GetSize(), 17.0f);
  Gdiplus::FontFamily family;
  ASSERT_EQ(caption->GetFamily(&family), Gdiplus::Ok);
  wchar_t name[LF_FACESIZE] = {};
  family.GetFamilyName(name);
  EXPECT_EQ(std::wstring(name), CDefaultFont::Instance()->GetFaceName());
  EXPECT_EQ(registry_->GetFont(ResInitializer::kFont15Bold)->GetStyle(), Gdiplus::FontStyleBold);

  // The skin pictures live in Uninstall.exe, not here: registered, not loadable.
  CImage* checkBox = registry_->GetImage(245);
  ASSERT_NE(checkBox, nullptr);
  EXPECT_EQ(checkBox->GetFrameCount(), 8);
  EXPECT_EQ(registry_->GetImage(243), nullptr);  // a gap in the table
  EXPECT_EQ(registry_->GetCursor(ResInitializer::kHandCursor), ::LoadCursorW(nullptr, IDC_HAND));

  EXPECT_FALSE(resources.Init());  // every key exists already
  resources.Release();
  EXPECT_EQ(registry_->GetFont(ResInitializer::kFont17), nullptr);
  EXPECT_EQ(registry_->GetImage(245), nullptr);
}

}  // namespace
}  // namespace lumo::test
