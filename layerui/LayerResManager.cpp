#include "layerui/LayerResManager.h"

CLayerResManager::~CLayerResManager() { ReleaseAll(); }

int CLayerResManager::AddImage(int key, UINT resourceId, int frames) {
  ImageEntry entry;
  entry.resourceId = resourceId;
  entry.frames = frames;
  return images_.emplace(key, std::move(entry)).second ? 1 : 0;
}

int CLayerResManager::AddFont(int key, const std::wstring& face, int sizePixels, int style) {
  FontEntry entry;
  entry.face = face;
  entry.size = sizePixels;
  entry.style = style;
  return fonts_.emplace(key, std::move(entry)).second ? 1 : 0;
}

int CLayerResManager::AddCursor(int key, UINT cursorId, bool systemCursor) {
  CursorEntry entry;
  entry.cursorId = cursorId;
  entry.system = systemCursor;
  return cursors_.emplace(key, entry).second ? 1 : 0;
}

CImage* CLayerResManager::GetImage(int key) {
  auto it = images_.find(key);
  if (key == -1 || it == images_.end()) return nullptr;
  ImageEntry& entry = it->second;
  if (!entry.loaded) {
    entry.loaded = true;
    entry.image = std::make_unique<CImage>();
    entry.image->SetFrameCount(entry.frames);
    entry.image->LoadFromResource(entry.resourceId,
                                  module_ ? module_ : ::GetModuleHandleW(nullptr), L"PNG");
  }
  return entry.image.get();
}

Gdiplus::Font* CLayerResManager::GetFont(int key) {
  auto it = fonts_.find(key);
  if (key == -1 || it == fonts_.end()) return nullptr;
  FontEntry& entry = it->second;
  if (!entry.created) {
    entry.created = true;
    Gdiplus::FontFamily family(entry.face.c_str());
    entry.font = std::make_unique<Gdiplus::Font>(&family, static_cast<Gdiplus::REAL>(entry.size),
                                                 entry.style, Gdiplus::UnitPixel);
  }
  return entry.font.get();
}

HCURSOR CLayerResManager::GetCursor(int key) {
  auto it = cursors_.find(key);
  if (key == -1 || it == cursors_.end()) return nullptr;
  CursorEntry& entry = it->second;
  if (!entry.loaded) {
    entry.loaded = true;
    HINSTANCE from = entry.system ? nullptr : (module_ ? module_ : ::GetModuleHandleW(nullptr));
    entry.cursor = ::LoadCursorW(from, MAKEINTRESOURCEW(entry.cursorId));
  }
  return entry.cursor;
}

void CLayerResManager::ReleaseAll() {
  images_.clear();
  fonts_.clear();
  // Cursors from LoadCursor are shared and are not destroyed.
  cursors_.clear();
}
