#include "layerui/LayerTestSupport.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "base/TextUtil.h"

namespace lumo::test {

Surface::Surface(int width, int height, DWORD fill) : width_(width), height_(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  bits_ = static_cast<DWORD*>(bits);
  dc_.reset(::CreateCompatibleDC(nullptr));
  old_ = ::SelectObject(dc_.get(), bitmap_.get());
  Fill(fill);
}

Surface::~Surface() {
  if (old_) ::SelectObject(dc_.get(), old_);
}

void Surface::Fill(DWORD argb) {
  ::GdiFlush();
  std::fill(bits_, bits_ + width_ * height_, argb);
}

int Surface::CountDifferent(const RECT& rect, DWORD background) const {
  ::GdiFlush();
  int count = 0;
  for (int y = std::max<int>(rect.top, 0); y < std::min<int>(rect.bottom, height_); ++y)
    for (int x = std::max<int>(rect.left, 0); x < std::min<int>(rect.right, width_); ++x)
      if (At(x, y) != background) ++count;
  return count;
}

RECT Surface::InkBounds(DWORD background) const {
  ::GdiFlush();
  RECT r{width_, height_, 0, 0};
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (At(x, y) != background) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
  if (r.right <= r.left) r = RECT{0, 0, 0, 0};
  return r;
}

std::wstring ArtifactsFolder() {
  const std::wstring folder = lumo::JoinPath(lumo::DirectoryOf(lumo::ModulePath()), L"artifacts");
  ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  return folder;
}

std::wstring Surface::SaveArtifact(const std::wstring& name) const {
  ::GdiFlush();
  // The surface's alpha is mostly partial; an opaque copy is what a viewer
  // should show, so the artifact drops it.
  auto copy = MakeBitmap(width_, height_, [this](int x, int y) { return At(x, y) | 0xFF000000; });
  const std::wstring path = lumo::JoinPath(ArtifactsFolder(), name + L".png");
  return copy && SavePng(*copy, path) ? path : std::wstring();
}

std::unique_ptr<Gdiplus::Bitmap> MakeBitmap(int width, int height, const PixelFunction& pixel) {
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
  Gdiplus::BitmapData data{};
  Gdiplus::Rect all(0, 0, width, height);
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) !=
      Gdiplus::Ok)
    return nullptr;
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
    for (int x = 0; x < width; ++x) row[x] = pixel(x, y);
  }
  bitmap->UnlockBits(&data);
  return bitmap;
}

bool SavePng(Gdiplus::Bitmap& bitmap, const std::wstring& path) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<BYTE> buffer(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (lstrcmpiW(encoders[i].MimeType, L"image/png") == 0)
      return bitmap.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
  }
  return false;
}

}  // namespace lumo::test
