#include "layerui/DefaultFont.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo::test {
namespace {

namespace ff = lumo::fontface;

// An enumerator over a fixed family list that counts the families it showed.
struct FakeFamilies {
  std::vector<std::wstring> names;
  int shown = 0;
  ff::FamilyEnumerator Enumerator() {
    return [this](const ff::FamilyVisitor& visit) {
      for (const std::wstring& name : names) {
        ++shown;
        if (!visit(name.c_str())) return;
      }
    };
  }
};

TEST(ChooseFaceTest, PicksTheHighestPriorityFaceFound) {
  const struct {
    DWORD major;
    std::vector<std::wstring> families;
    const wchar_t* face;
  } cases[] = {
      {5, {L"微软雅黑", L"Tahoma"}, L"宋体"},  // no enumeration before version 6
      {0, {L"微软雅黑"}, L"宋体"},            // version unknown
      {10, {L"Tahoma", L"Arial", L"Microsoft YaHei"}, L"Microsoft YaHei"},
      {6, {L"Arial", L"Segoe UI"}, L""},
      {6, {L"tahoma", L"新細明體"}, L"新細明體"},
      {10, {L"Tahoma", L"宋体", L"MICROSOFT YAHEI UI"}, L"Microsoft YaHei UI"},
      {10, {L"Microsoft YaHei", L"微软雅黑", L"Tahoma"}, L"微软雅黑"},
      {10, {L"Microsoft YaHei Light", L"Tahoma Bold"}, L""},  // whole names only
  };
  for (const auto& c : cases) {
    FakeFamilies families{c.families};
    EXPECT_EQ(ff::Choose(c.major, families.Enumerator()), c.face) << c.major;
    if (c.major < 6) {
      EXPECT_EQ(families.shown, 0);
    }
  }
}

TEST(ChooseFaceTest, StopsEnumeratingOnceAllSixAreFound) {
  FakeFamilies families{{L"Arial", L"Tahoma", L"新細明體", L"宋体", L"Microsoft YaHei UI",
                         L"Microsoft YaHei", L"微软雅黑", L"Segoe UI", L"Courier"}};
  EXPECT_EQ(ff::FoundFaces(10, families.Enumerator()), ff::kAllFaces);
  EXPECT_EQ(families.shown, 7);
  EXPECT_EQ(ff::FoundFaces(5, families.Enumerator()), 0x08u);
}

// In the test prefix tools/wine-fonts.sh provides the YaHei faces.
TEST(ChooseFaceTest, FindsAFaceOnThisSystemAndCreatesTheGdiFont) {
  CDefaultFont* font = CDefaultFont::Instance();
  ASSERT_NE(font, nullptr);
  ASSERT_TRUE(font->ChooseFace());
  ASSERT_FALSE(font->GetFaceName().empty()) << "no candidate face installed";
  EXPECT_NE(ff::BitsOf(font->GetFaceName().c_str()) & font->GetFoundFaces(), 0u);
  EXPECT_EQ(ff::FaceOf(font->GetFoundFaces()), font->GetFaceName());

  LOGFONTW logFont{};
  ASSERT_EQ(::GetObjectW(font->GetHFont(), sizeof(logFont), &logFont), int(sizeof(logFont)));
  EXPECT_EQ(logFont.lfHeight, -12);
  EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
  EXPECT_EQ(logFont.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(logFont.lfFaceName, font->GetFaceName());
}

}  // namespace
}  // namespace lumo::test
