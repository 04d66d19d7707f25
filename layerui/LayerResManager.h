#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "base/Singleton.h"
#include "layerui/GdiplusInclude.h"
#include "layerui/Image.h"

// Process-wide registry of images, fonts and cursors by integer key. Objects
// are created on first fetch and kept until ReleaseAll; callers never delete
// what they get. Used on the UI thread only, after creation.
class CLayerResManager {
 public:
  static CLayerResManager* Instance() { return CSingletonT<CLayerResManager>::Instance(); }
  ~CLayerResManager();

  // 1 added, 0 when the key is already registered (the first entry stays).
  int AddImage(int key, UINT resourceId, int frames);
  int AddFont(int key, const std::wstring& face, int sizePixels, int style);
  int AddCursor(int key, UINT cursorId, bool systemCursor);

  // Null for -1 and for keys never registered. An image whose PNG could not
  // be loaded is returned all the same (invalid) and never retried.
  CImage* GetImage(int key);
  Gdiplus::Font* GetFont(int key);
  HCURSOR GetCursor(int key);

  // Deletes every image and font and forgets every entry; must run before
  // GDI+ is shut down.
  void ReleaseAll();

  // Where GetImage loads PNG resources from: the executable unless set.
  void SetResourceModule(HMODULE module) { module_ = module; }

 private:
  struct ImageEntry {
    bool loaded = false;
    std::unique_ptr<CImage> image;
    UINT resourceId = 0;
    int frames = 1;
  };
  struct FontEntry {
    bool created = false;
    std::unique_ptr<Gdiplus::Font> font;
    std::wstring face;
    int size = 0;
    int style = 0;
  };
  struct CursorEntry {
    bool loaded = false;
    UINT cursorId = 0;
    bool system = false;
    HCURSOR cursor = nullptr;
  };

  std::map<int, ImageEntry> images_;
  std::map<int, FontEntry> fonts_;
  std::map<int, CursorEntry> cursors_;
  HMODULE module_ = nullptr;
};
