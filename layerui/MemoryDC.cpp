#include "layerui/MemoryDC.h"

CMemoryDCEx::CMemoryDCEx(HDC target, const RECT& rect, bool dibSection, bool copyBack)
    : target_(target), rect_(rect), copyBack_(copyBack) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (!target || width <= 0 || height <= 0) return;
  dc_.reset(::CreateCompatibleDC(target));
  if (!dc_) return;
  if (dibSection) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = bitmap_ ? static_cast<DWORD*>(bits) : nullptr;
  } else {
    bitmap_.reset(::CreateCompatibleBitmap(target, width, height));
  }
  if (!bitmap_) return;
  old_ = ::SelectObject(dc_.get(), bitmap_.get());
  if (old_) ::SetViewportOrgEx(dc_.get(), -rect.left, -rect.top, nullptr);
}

CMemoryDCEx::~CMemoryDCEx() {
  if (!old_) return;
  if (copyBack_) {
    ::BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top,
             dc_.get(), rect_.left, rect_.top, SRCCOPY);
  }
  // The bitmap must leave the DC before either is deleted.
  ::SelectObject(dc_.get(), old_);
}
