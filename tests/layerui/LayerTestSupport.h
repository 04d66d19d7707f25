#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/Handles.h"
#include "layerui/GdiplusInclude.h"

namespace lumo::test {

// A 32-bit top-down DIB section selected into a memory DC: what the window
// base draws into. Pixels are 0xAARRGGBB words.
class Surface {
 public:
  Surface(int width, int height, DWORD fill = 0);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  DWORD At(int x, int y) const { return bits_[y * width_ + x]; }
  void Fill(DWORD argb);
  // Pixels of rect (clipped to the surface) that differ from `background`.
  int CountDifferent(const RECT& rect, DWORD background) const;
  // Smallest rectangle holding every pixel that differs from `background`;
  // empty when there is none.
  RECT InkBounds(DWORD background) const;
  // Writes the surface as a PNG under the test executable's artifacts folder
  // and returns the path ("" on failure).
  std::wstring SaveArtifact(const std::wstring& name) const;

 private:
  int width_, height_;
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};

// A 32-bit ARGB picture whose pixels come from pixel(x, y).
using PixelFunction = std::function<DWORD(int x, int y)>;
std::unique_ptr<Gdiplus::Bitmap> MakeBitmap(int width, int height, const PixelFunction& pixel);
bool SavePng(Gdiplus::Bitmap& bitmap, const std::wstring& path);
std::wstring ArtifactsFolder();

// Channel helpers for 0xAARRGGBB words.
inline int Alpha(DWORD p) { return static_cast<int>((p >> 24) & 0xFF); }
inline int Red(DWORD p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int Green(DWORD p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int Blue(DWORD p) { return static_cast<int>(p & 0xFF); }

}  // namespace lumo::test
