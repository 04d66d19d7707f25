#pragma once
#include <windows.h>

#include "base/Handles.h"

// A memory DC for drawing a rectangle of a target DC off screen: compatible
// with the target, holding a 32-bit top-down DIB section (or a compatible
// bitmap) of the rectangle's size, its viewport moved so that the
// rectangle's own coordinates can be used. On destruction the rectangle is
// copied back to the target when asked for.
class CMemoryDCEx {
 public:
  CMemoryDCEx(HDC target, const RECT& rect, bool dibSection = true, bool copyBack = true);
  ~CMemoryDCEx();
  CMemoryDCEx(const CMemoryDCEx&) = delete;
  CMemoryDCEx& operator=(const CMemoryDCEx&) = delete;

  bool IsValid() const { return old_ != nullptr; }
  HDC GetDC() const { return dc_.get(); }
  HBITMAP GetBitmap() const { return bitmap_.get(); }
  // The DIB section's pixels (BGRA, top-down rows); null for a compatible bitmap.
  DWORD* GetBits() const { return bits_; }
  const RECT& GetRect() const { return rect_; }
  void SetCopyBack(bool copyBack) { copyBack_ = copyBack; }

 private:
  HDC target_;
  RECT rect_;
  bool copyBack_;
  lumo::UniqueMemoryDc dc_;
  lumo::UniqueBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};
