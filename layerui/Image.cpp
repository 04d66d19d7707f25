#include "layerui/Image.h"

#include <algorithm>
#include <cstring>

CImage::~CImage() { Reset(); }

void CImage::Reset() {
  delete bitmap_;
  bitmap_ = nullptr;
  width_ = height_ = 0;
}

// Keeps the bitmap even when GDI+ could not decode it, so that IsValid tells.
bool CImage::Adopt(Gdiplus::Bitmap* bitmap) {
  bitmap_ = bitmap;
  if (bitmap_ && bitmap_->GetLastStatus() == Gdiplus::Ok) {
    width_ = static_cast<int>(bitmap_->GetWidth());
    height_ = static_cast<int>(bitmap_->GetHeight());
  }
  return IsValid();
}

bool CImage::LoadFromResource(UINT resourceId, HMODULE module, const wchar_t* resourceType) {
  Reset();
  HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), resourceType);
  if (!info) return false;
  const DWORD size = ::SizeofResource(module, info);
  if (size == 0) return false;
  HGLOBAL loaded = ::LoadResource(module, info);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) return false;

  // GDI+ may read the stream lazily, so it gets its own copy of the bytes;
  // the stream frees the block when it is released.
  HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, size);
  if (!block) return false;
  std::memcpy(block, bytes, size);
  IStream* stream = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
    ::GlobalFree(block);
    return false;
  }
  Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromStream(stream);
  stream->Release();
  return Adopt(bitmap);
}

bool CImage::LoadFromFile(const wchar_t* path) {
  Reset();
  if (!path || !*path) return false;
  return Adopt(Gdiplus::Bitmap::FromFile(path));
}

bool CImage::IsValid() const { return bitmap_ && width_ > 0 && height_ > 0; }

int CImage::GetFrameWidth() const { return width_ / std::max(frameCount_, 1); }

bool CImage::DrawFrame(HDC dc, int x, int y, int width, int height, int frame) const {
  if (!dc || !IsValid()) return false;
  const int frameWidth = GetFrameWidth();
  const int frames = std::max(frameCount_, 1);
  const int srcX = (frame >= 0 && frame <= frames - 1 && frameWidth > 0) ? frame * frameWidth : 0;
  // The slice is as wide as the destination but never reaches into the next
  // frame (or past the image): a wider destination stretches the frame.
  int srcWidth = std::min(width, frameWidth > 0 ? frameWidth : width_);
  srcWidth = std::min(srcWidth, width_ - srcX);
  if (width <= 0 || height <= 0 || srcWidth <= 0) return false;
  Gdiplus::Graphics graphics(dc);
  return graphics.DrawImage(bitmap_, Gdiplus::Rect(x, y, width, height), srcX, 0, srcWidth, height_,
                            Gdiplus::UnitPixel) == Gdiplus::Ok;
}

bool CImage::DrawPart(HDC dc, int x, int y, int width, int height, int srcX, int srcY,
                      int srcWidth, int srcHeight) const {
  if (!dc || !IsValid() || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
    return false;
  Gdiplus::Graphics graphics(dc);
  return graphics.DrawImage(bitmap_, Gdiplus::Rect(x, y, width, height), srcX, srcY, srcWidth,
                            srcHeight, Gdiplus::UnitPixel) == Gdiplus::Ok;
}
