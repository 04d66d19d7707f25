#include "layerui/ResInitializer.h"

#include "layerui/DefaultFont.h"
#include "layerui/LayerResManager.h"

namespace {

struct FontRow {
  int key, size, style;
};
// GDI+ styles: 0 regular, 1 bold, 4 underline.
constexpr FontRow kFonts[] = {
    {1001, 8, 0},  {1002, 9, 0},  {1003, 12, 0}, {1004, 12, 4}, {1005, 12, 1},
    {1006, 14, 0}, {1007, 14, 4}, {1008, 14, 1}, {1009, 15, 1}, {1010, 17, 0},
    {1011, 16, 0}, {1012, 18, 0}, {1013, 22, 0},
};

struct ImageRow {
  int id, frames;
};
// The key of each image is its "PNG" resource identifier.
constexpr ImageRow kImages[] = {
    {237, 3}, {238, 3}, {239, 8}, {240, 8}, {241, 3}, {242, 3}, {244, 1}, {245, 8},
    {246, 1}, {247, 1}, {248, 1}, {252, 1}, {254, 3}, {255, 3}, {300, 1}, {301, 3},
    {302, 3}, {304, 3}, {305, 1}, {306, 1}, {307, 3}, {308, 8}, {309, 8}, {310, 8},
    {311, 8}, {312, 1}, {313, 1}, {314, 1}, {315, 1}, {316, 3}, {319, 1}, {320, 1},
    {321, 1}, {322, 1}, {323, 3},
};

}  // namespace

bool ResInitializer::Init() {
  CLayerResManager* registry = CLayerResManager::Instance();
  CDefaultFont* defaultFont = CDefaultFont::Instance();
  if (!registry || !defaultFont) return false;
  initialized_ = true;
  const std::wstring face = defaultFont->GetFaceName();
  bool all = true;
  for (const FontRow& f : kFonts) all &= registry->AddFont(f.key, face, f.size, f.style) == 1;
  for (const ImageRow& i : kImages)
    all &= registry->AddImage(i.id, static_cast<UINT>(i.id), i.frames) == 1;
  all &= registry->AddCursor(kHandCursor, 32649 /* IDC_HAND */, true) == 1;
  return all;
}

void ResInitializer::Release() {
  if (!initialized_) return;
  initialized_ = false;
  if (CLayerResManager* registry = CLayerResManager::Instance()) registry->ReleaseAll();
}
