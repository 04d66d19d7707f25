#pragma once
#include <windows.h>

#include "layerui/GdiplusInclude.h"

// Text format flags of the toolkit, translated to a GDI+ string format.
enum : UINT {
  LTF_VCENTER = 0x0001,
  LTF_BOTTOM = 0x0002,  // ignored with LTF_VCENTER
  LTF_HCENTER = 0x0010,
  LTF_RIGHT = 0x0020,  // ignored with LTF_HCENTER
  LTF_END_ELLIPSIS = 0x0100,
  LTF_WORD_ELLIPSIS = 0x0200,  // ignored with LTF_END_ELLIPSIS
  LTF_NOCLIP = 0x0400,
  LTF_SINGLELINE = 0x1000,
};

// GDI+ colour from a COLORREF (0x00BBGGRR) and an alpha: 0xAARRGGBB.
inline Gdiplus::ARGB LayerColor(COLORREF color, BYTE alpha) {
  return (static_cast<Gdiplus::ARGB>(alpha) << 24) |
         (static_cast<Gdiplus::ARGB>(GetRValue(color)) << 16) |
         (static_cast<Gdiplus::ARGB>(GetGValue(color)) << 8) | GetBValue(color);
}

// Fills the string format from the flags (alignment, trimming, wrapping, clipping).
void LayerApplyTextFormat(UINT flags, Gdiplus::StringFormat& format);

// Each routine draws with its own Graphics on `dc` and does nothing when the
// DC or the picture is missing. GDI+ status codes are not reported.
void LayerFillRect(HDC dc, const RECT& rect, COLORREF color, BYTE alpha);

// grid: left border width, top border height, x where the right border
// begins, y where the bottom border begins (image pixels). Corners keep their
// size; edges and centre stretch.
void LayerDrawNineGrid(HDC dc, Gdiplus::Bitmap* bitmap, const RECT& dest, const RECT& grid);

// Columns [0, leftEnd) at the left, [leftEnd, rightStart) tiled, the rest at
// the right, all at the image's own height. With leftEnd == rightStart the
// columns from rightStart on are stretched over the rest of the destination
// (0, 0: the whole image scaled to the destination width).
void LayerDrawHBar(HDC dc, Gdiplus::Bitmap* bitmap, const RECT& dest, int leftEnd, int rightStart,
                   bool draw);

void LayerDrawText(HDC dc, const wchar_t* text, const RECT& rect, Gdiplus::Font* font,
                   COLORREF color, UINT flags, BYTE alpha);
