#include "layerui/LayerDraw.h"

#include <algorithm>

namespace {

Gdiplus::RectF ToRectF(const RECT& r) {
  return Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                        static_cast<Gdiplus::REAL>(r.right - r.left),
                        static_cast<Gdiplus::REAL>(r.bottom - r.top));
}

// Draws image columns/rows (sx, sy, sw, sh) into (dx, dy, dw, dh); empty
// pieces are skipped rather than handed to GDI+.
void DrawPiece(Gdiplus::Graphics& g, Gdiplus::Bitmap* bitmap, float dx, float dy, float dw,
               float dh, float sx, float sy, float sw, float sh) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  g.DrawImage(bitmap, Gdiplus::RectF(dx, dy, dw, dh), sx, sy, sw, sh, Gdiplus::UnitPixel);
}

bool Usable(Gdiplus::Bitmap* bitmap) {
  return bitmap && bitmap->GetLastStatus() == Gdiplus::Ok && bitmap->GetWidth() > 0 &&
         bitmap->GetHeight() > 0;
}

}  // namespace

void LayerApplyTextFormat(UINT flags, Gdiplus::StringFormat& format) {
  if (flags & LTF_VCENTER)
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  else if (flags & LTF_BOTTOM)
    format.SetLineAlignment(Gdiplus::StringAlignmentFar);
  else
    format.SetLineAlignment(Gdiplus::StringAlignmentNear);

  if (flags & LTF_HCENTER)
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
  else if (flags & LTF_RIGHT)
    format.SetAlignment(Gdiplus::StringAlignmentFar);
  else
    format.SetAlignment(Gdiplus::StringAlignmentNear);

  if (flags & LTF_END_ELLIPSIS)
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  else if (flags & LTF_WORD_ELLIPSIS)
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisWord);
  else
    format.SetTrimming(Gdiplus::StringTrimmingNone);

  INT formatFlags = 0;
  if (flags & LTF_SINGLELINE) formatFlags |= Gdiplus::StringFormatFlagsNoWrap;
  if (flags & LTF_NOCLIP) formatFlags |= Gdiplus::StringFormatFlagsNoClip;
  format.SetFormatFlags(formatFlags);
}

void LayerFillRect(HDC dc, const RECT& rect, COLORREF color, BYTE alpha) {
  if (!dc) return;
  Gdiplus::Graphics g(dc);
  Gdiplus::SolidBrush brush{Gdiplus::Color(LayerColor(color, alpha))};
  g.FillRectangle(&brush, ToRectF(rect));
}

void LayerDrawNineGrid(HDC dc, Gdiplus::Bitmap* bitmap, const RECT& dest, const RECT& grid) {
  if (!dc || !Usable(bitmap)) return;
  const float w = static_cast<float>(bitmap->GetWidth());
  const float h = static_cast<float>(bitmap->GetHeight());
  // A grid outside the image would read pixels that are not there.
  const float L = std::clamp(static_cast<float>(grid.left), 0.0f, w);
  const float T = std::clamp(static_cast<float>(grid.top), 0.0f, h);
  const float R = std::clamp(static_cast<float>(grid.right), L, w);
  const float B = std::clamp(static_cast<float>(grid.bottom), T, h);
  const float rightW = w - R, bottomH = h - B, midW = R - L, midH = B - T;

  const float x0 = static_cast<float>(dest.left), y0 = static_cast<float>(dest.top);
  const float x1 = static_cast<float>(dest.right), y1 = static_cast<float>(dest.bottom);
  const float innerW = (x1 - x0) - L - rightW, innerH = (y1 - y0) - T - bottomH;

  Gdiplus::Graphics g(dc);
  DrawPiece(g, bitmap, x0, y0, L, T, 0, 0, L, T);                              // top-left
  DrawPiece(g, bitmap, x1 - rightW, y0, rightW, T, R, 0, rightW, T);           // top-right
  DrawPiece(g, bitmap, x0 + L, y0, innerW, T, L, 0, midW, T);                  // top
  DrawPiece(g, bitmap, x0, y0 + T, L, innerH, 0, T, L, midH);                  // left
  DrawPiece(g, bitmap, x1 - rightW, y0 + T, rightW, innerH, R, T, rightW, midH);  // right
  DrawPiece(g, bitmap, x0, y1 - bottomH, L, bottomH, 0, B, L, bottomH);        // bottom-left
  DrawPiece(g, bitmap, x1 - rightW, y1 - bottomH, rightW, bottomH, R, B, rightW, bottomH);
  DrawPiece(g, bitmap, x0 + L, y1 - bottomH, innerW, bottomH, L, B, midW, bottomH);  // bottom
  DrawPiece(g, bitmap, x0 + L, y0 + T, innerW, innerH, L, T, midW, midH);            // centre
}

void LayerDrawHBar(HDC dc, Gdiplus::Bitmap* bitmap, const RECT& dest, int leftEnd, int rightStart,
                   bool draw) {
  if (!dc || !draw || !Usable(bitmap)) return;
  const int w = static_cast<int>(bitmap->GetWidth());
  const float h = static_cast<float>(bitmap->GetHeight());
  const int L = std::clamp(leftEnd, 0, w);
  const int R = std::clamp(rightStart, 0, w);
  const float left = static_cast<float>(dest.left), top = static_cast<float>(dest.top);
  const float right = static_cast<float>(dest.right);

  Gdiplus::Graphics g(dc);
  DrawPiece(g, bitmap, left, top, static_cast<float>(L), h, 0, 0, static_cast<float>(L), h);
  const int tile = R - L;
  if (tile > 0) {
    const float capW = static_cast<float>(w - R);
    const float end = right - capW;
    for (float x = left + L; x < end; x += tile) {
      const float piece = std::min(static_cast<float>(tile), end - x);
      DrawPiece(g, bitmap, x, top, piece, h, static_cast<float>(L), 0, piece, h);
    }
    // The right end keeps its size at the destination's right edge.
    DrawPiece(g, bitmap, end, top, capW, h, static_cast<float>(R), 0, capW, h);
  } else {
    DrawPiece(g, bitmap, left + L, top, (right - left) - R, h, static_cast<float>(R), 0,
              static_cast<float>(w - R), h);
  }
}

void LayerDrawText(HDC dc, const wchar_t* text, const RECT& rect, Gdiplus::Font* font,
                   COLORREF color, UINT flags, BYTE alpha) {
  if (!dc || !text || !font || alpha == 0 || !font->IsAvailable()) return;
  Gdiplus::Graphics g(dc);
  Gdiplus::SolidBrush brush{Gdiplus::Color(LayerColor(color, alpha))};
  Gdiplus::StringFormat format;
  LayerApplyTextFormat(flags, format);
  g.DrawString(text, -1, font, ToRectF(rect), &format, &brush);
}
