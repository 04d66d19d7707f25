#pragma once
#include <windows.h>

#include "layerui/GdiplusInclude.h"

// A GDI+ bitmap loaded from a PNG resource or a file, seen as a horizontal
// strip of equal-width frames (button states, check-box states...).
class CImage {
 public:
  CImage() = default;
  virtual ~CImage();
  CImage(const CImage&) = delete;
  CImage& operator=(const CImage&) = delete;

  // The toolkit always passes type "PNG" and the executable's own module.
  bool LoadFromResource(UINT resourceId, HMODULE module, const wchar_t* resourceType);
  bool LoadFromFile(const wchar_t* path);

  bool IsValid() const;
  SIZE GetSize() const { return SIZE{width_, height_}; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  void SetFrameCount(int count) { frameCount_ = count; }
  int GetFrameCount() const { return frameCount_; }
  int GetFrameWidth() const;  // 0 when empty

  // Draws frame `frame` into (x, y, width, height); an index outside the strip
  // draws frame 0. The slice keeps its width when the destination is at most
  // one frame wide; only the height is scaled.
  bool DrawFrame(HDC dc, int x, int y, int width, int height, int frame) const;
  bool DrawPart(HDC dc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                int srcHeight) const;

  Gdiplus::Bitmap* GetBitmap() const { return bitmap_; }

 private:
  void Reset();
  bool Adopt(Gdiplus::Bitmap* bitmap);

  Gdiplus::Bitmap* bitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int frameCount_ = 1;
};
