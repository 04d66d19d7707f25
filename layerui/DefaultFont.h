#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "base/Singleton.h"

namespace lumo::fontface {

// Candidate faces and their bits, lowest priority first.
struct Candidate {
  DWORD bit;
  const wchar_t* face;
};
extern const Candidate kCandidates[6];
constexpr DWORD kAllFaces = 0x3F;

// The bits of the candidates whose name equals fullName, ignoring case.
DWORD BitsOf(const wchar_t* fullName);
// The face of the highest-priority bit set, or "" when none is.
std::wstring FaceOf(DWORD bits);

// Calls visit with the full name of each font family until visit returns false.
using FamilyVisitor = std::function<bool(const wchar_t* fullName)>;
using FamilyEnumerator = std::function<void(const FamilyVisitor& visit)>;

// The found-faces bits for a system of this major version (0: unknown):
// families are enumerated from version 6 on, until all six are found; older
// or unknown systems get the bit of "宋体" only.
DWORD FoundFaces(DWORD majorVersion, const FamilyEnumerator& enumerate);
// FaceOf(FoundFaces(...)).
std::wstring Choose(DWORD majorVersion, const FamilyEnumerator& enumerate);

// The major version from ntdll's RtlGetNtVersionNumbers (read once), 0 when
// the function is missing.
DWORD SystemMajorVersion();
// Enumerates the screen DC's families with EnumFontFamiliesW.
void EnumerateScreenFamilies(const FamilyVisitor& visit);

}  // namespace lumo::fontface

// The user-interface face (also the face of every registry font) and the GDI
// font that native edit boxes get.
class CDefaultFont {
 public:
  static CDefaultFont* Instance() { return CSingletonT<CDefaultFont>::Instance(); }

  // Once at start-up: picks the face and creates the GDI font. False when the
  // font could not be created.
  bool ChooseFace();
  const std::wstring& GetFaceName() const { return face_; }
  DWORD GetFoundFaces() const { return found_; }
  HFONT GetHFont() const { return font_; }

 private:
  HFONT font_ = nullptr;  // lives until the process ends
  std::wstring face_;
  DWORD found_ = 0;
};
