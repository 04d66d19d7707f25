#pragma once

// Registers the toolkit's fonts, images and cursor with CLayerResManager
// (nothing is loaded yet) and releases them all at shutdown. The fonts use
// CDefaultFont's face, so ChooseFace runs first.
class ResInitializer {
 public:
  ResInitializer() = default;
  ~ResInitializer() { Release(); }
  ResInitializer(const ResInitializer&) = delete;
  ResInitializer& operator=(const ResInitializer&) = delete;

  // False when a key was already registered (the earlier entry stays).
  bool Init();
  // Calls ReleaseAll; must run before GDI+ is shut down.
  void Release();

  // Font keys of the registry.
  enum FontKey {
    kFont8 = 1001, kFont9, kFont12, kFont12Underline, kFont12Bold, kFont14, kFont14Underline,
    kFont14Bold, kFont15Bold, kFont17, kFont16, kFont18, kFont22,
  };
  static constexpr int kHandCursor = 1001;

 private:
  bool initialized_ = false;
};
