#include <gtest/gtest.h>

#include "layerui/DefaultFont.h"
#include "layerui/LayerDraw.h"
#include "layerui/LayerResManager.h"
#include "layerui/LayerTestSupport.h"

namespace lumo::test {
namespace {

constexpr DWORD kWhite = 0xFFFFFFFF;
const wchar_t kShort[] = L"取消卸载";
const wchar_t kLong[] = L"卸载程序已被破坏，请重新下载安装后再进行卸载";

// Black text at alpha 254 on an opaque white surface, in a face ChooseFace
// picked, through the registry as the controls get it.
class LayerTextTest : public ::testing::Test {
 protected:
  static constexpr int kFontKey = 7017;
  void SetUp() override {
    ASSERT_TRUE(CDefaultFont::Instance()->ChooseFace());
    face_ = CDefaultFont::Instance()->GetFaceName();
    ASSERT_FALSE(face_.empty());
    CLayerResManager::Instance()->AddFont(kFontKey, face_, 17, 0);
    font_ = CLayerResManager::Instance()->GetFont(kFontKey);
    ASSERT_NE(font_, nullptr);
    ASSERT_TRUE(font_->IsAvailable()) << "GDI+ cannot find the chosen face";
  }
  void TearDown() override { CLayerResManager::Instance()->ReleaseAll(); }

  RECT Draw(Surface& surface, const wchar_t* text, const RECT& rect, UINT flags) {
    LayerDrawText(surface.dc(), text, rect, font_, RGB(0, 0, 0), flags, 254);
    return surface.InkBounds(kWhite);
  }

  std::wstring face_;
  Gdiplus::Font* font_ = nullptr;
};

TEST_F(LayerTextTest, ChineseTextRendersInsideItsRectangle) {
  Surface surface(240, 60, kWhite);
  const RECT rect{20, 10, 220, 50};
  const RECT ink = Draw(surface, kShort, rect, 0x1011);
  EXPECT_GT(surface.CountDifferent(rect, kWhite), 150) << "no glyphs drawn";
  EXPECT_EQ(surface.CountDifferent(RECT{0, 0, 240, 60}, kWhite), surface.CountDifferent(rect, kWhite));
  // Four glyphs of 17 pixels: clearly wider than tall.
  EXPECT_GT(ink.right - ink.left, 50);
  EXPECT_LT(ink.bottom - ink.top, 24);
  const std::wstring path = surface.SaveArtifact(L"text_chinese");
  EXPECT_FALSE(path.empty());
  RecordProperty("artifact", std::string(path.begin(), path.end()));
}

// Where the ink lands in a 300 x 80 rectangle for each alignment flag.
TEST_F(LayerTextTest, AlignmentFlagsPlaceTheText) {
  enum Where { kStart, kCentre, kEnd };
  const struct {
    UINT flags;
    Where horizontal, vertical;
  } cases[] = {
      {0, kStart, kStart},
      {LTF_HCENTER, kCentre, kStart},
      {LTF_RIGHT, kEnd, kStart},
      {LTF_HCENTER | LTF_RIGHT, kCentre, kStart},  // RIGHT gives way to HCENTER
      {LTF_VCENTER, kStart, kCentre},
      {LTF_BOTTOM, kStart, kEnd},
      {LTF_VCENTER | LTF_BOTTOM, kStart, kCentre},  // BOTTOM gives way to VCENTER
      {LTF_SINGLELINE | LTF_VCENTER | LTF_HCENTER, kCentre, kCentre},  // controls' default
      {LTF_RIGHT | LTF_BOTTOM, kEnd, kEnd},
  };
  const RECT rect{10, 10, 310, 90};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.flags);
    Surface surface(320, 100, kWhite);
    const RECT ink = Draw(surface, kShort, rect, c.flags);
    ASSERT_GT(ink.right, ink.left);
    const int left = ink.left - rect.left, right = rect.right - ink.right;
    const int top = ink.top - rect.top, bottom = rect.bottom - ink.bottom;
    switch (c.horizontal) {
      case kStart: EXPECT_LT(left, 10); EXPECT_GT(right, 150); break;
      case kCentre: EXPECT_NEAR(left, right, 8); break;
      case kEnd: EXPECT_LT(right, 10); EXPECT_GT(left, 150); break;
    }
    switch (c.vertical) {
      case kStart: EXPECT_LT(top, 10); EXPECT_GT(bottom, 40); break;
      case kCentre: EXPECT_NEAR(top, bottom, 8); break;
      case kEnd: EXPECT_LT(bottom, 10); EXPECT_GT(top, 40); break;
    }
  }
}

// Long text in a narrow, tall rectangle wraps unless single-line.
TEST_F(LayerTextTest, SingleLineFlagStopsWrapping) {
  const RECT rect{10, 10, 90, 150};
  const struct {
    UINT flags;
    bool manyLines;
  } cases[] = {{0, true}, {LTF_WORD_ELLIPSIS, true}, {LTF_SINGLELINE, false},
               {LTF_SINGLELINE | LTF_END_ELLIPSIS, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.flags);
    Surface surface(400, 160, kWhite);
    const RECT ink = Draw(surface, kLong, rect, c.flags);
    ASSERT_GT(ink.right, ink.left);
    EXPECT_EQ(ink.bottom - ink.top > 40, c.manyLines);
    EXPECT_EQ(surface.CountDifferent(RECT{rect.right, 0, 400, 160}, kWhite), 0);
    if (c.flags == 0) surface.SaveArtifact(L"text_wrapped");
  }
}

// A line taller than its 8-pixel rectangle leaves it with no-clip.
TEST_F(LayerTextTest, NoClipFlagLetsGlyphsLeaveTheRectangle) {
  const RECT rect{10, 10, 300, 18};
  const UINT cases[] = {LTF_NOCLIP, LTF_SINGLELINE | LTF_NOCLIP};
  for (UINT flags : cases) {
    SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << flags);
    Surface surface(320, 60, kWhite);
    const RECT ink = Draw(surface, kShort, rect, flags);
    EXPECT_TRUE(ink.top < rect.top || ink.bottom > rect.bottom);
  }
}

// Without no-clip the same line is cut at the rectangle. Wine's GDI+ draws
// text with a translucent brush without clipping, so this holds on Windows only.
TEST_F(LayerTextTest, WithoutNoClipGlyphsStayInTheRectangle) {
  if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
    GTEST_SKIP() << "Wine's GDI+ does not clip translucent text";
  const RECT rect{10, 10, 300, 18};
  Surface surface(320, 60, kWhite);
  const RECT ink = Draw(surface, kShort, rect, LTF_SINGLELINE);
  ASSERT_GT(ink.right, ink.left);
  EXPECT_GE(ink.top, rect.top);
  EXPECT_LE(ink.bottom, rect.bottom);
}

TEST_F(LayerTextTest, NothingIsDrawnWithoutTextFontOrAlpha) {
  Surface surface(200, 40, kWhite);
  const RECT rect{0, 0, 200, 40};
  LayerDrawText(surface.dc(), kShort, rect, font_, RGB(0, 0, 0), 0x1011, 0);
  LayerDrawText(surface.dc(), kShort, rect, nullptr, RGB(0, 0, 0), 0x1011, 254);
  LayerDrawText(surface.dc(), nullptr, rect, font_, RGB(0, 0, 0), 0x1011, 254);
  LayerDrawText(nullptr, kShort, rect, font_, RGB(0, 0, 0), 0x1011, 254);
  // A face GDI+ cannot find gives a font without glyphs.
  CLayerResManager::Instance()->AddFont(kFontKey + 1, L"No Such Face 4711", 17, 0);
  Gdiplus::Font* missing = CLayerResManager::Instance()->GetFont(kFontKey + 1);
  ASSERT_NE(missing, nullptr);
  EXPECT_FALSE(missing->IsAvailable());
  LayerDrawText(surface.dc(), kShort, rect, missing, RGB(0, 0, 0), 0x1011, 254);
  EXPECT_EQ(surface.CountDifferent(rect, kWhite), 0);
}

TEST(LayerTextFormatTest, FlagsTranslateToTheStringFormat) {
  const struct {
    UINT flags;
    Gdiplus::StringAlignment line, align;
    Gdiplus::StringTrimming trimming;
    INT formatFlags;
  } cases[] = {
      {0, Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentNear,
       Gdiplus::StringTrimmingNone, 0},
      {0x1011, Gdiplus::StringAlignmentCenter, Gdiplus::StringAlignmentCenter,
       Gdiplus::StringTrimmingNone, Gdiplus::StringFormatFlagsNoWrap},
      {LTF_BOTTOM | LTF_RIGHT | LTF_WORD_ELLIPSIS, Gdiplus::StringAlignmentFar,
       Gdiplus::StringAlignmentFar, Gdiplus::StringTrimmingEllipsisWord, 0},
      {LTF_END_ELLIPSIS | LTF_WORD_ELLIPSIS | LTF_NOCLIP, Gdiplus::StringAlignmentNear,
       Gdiplus::StringAlignmentNear, Gdiplus::StringTrimmingEllipsisCharacter,
       Gdiplus::StringFormatFlagsNoClip},
  };
  for (const auto& c : cases) {
    Gdiplus::StringFormat format;
    LayerApplyTextFormat(c.flags, format);
    EXPECT_EQ(format.GetLineAlignment(), c.line) << c.flags;
    EXPECT_EQ(format.GetAlignment(), c.align) << c.flags;
    EXPECT_EQ(format.GetTrimming(), c.trimming) << c.flags;
    EXPECT_EQ(format.GetFormatFlags(), c.formatFlags) << c.flags;
  }
}

}  // namespace
}  // namespace lumo::test
