#include "layerui/DefaultFont.h"

namespace lumo::fontface {

const Candidate kCandidates[6] = {
    {0x20, L"Tahoma"},
    {0x10, L"新細明體"},
    {0x08, L"宋体"},
    {0x04, L"Microsoft YaHei UI"},
    {0x02, L"Microsoft YaHei"},
    {0x01, L"微软雅黑"},
};

DWORD BitsOf(const wchar_t* fullName) {
  DWORD bits = 0;
  if (!fullName) return bits;
  for (const Candidate& c : kCandidates) {
    if (::lstrcmpiW(fullName, c.face) == 0) bits |= c.bit;
  }
  return bits;
}

std::wstring FaceOf(DWORD bits) {
  std::wstring face;
  for (const Candidate& c : kCandidates) {
    if (bits & c.bit) face = c.face;
  }
  return face;
}

DWORD FoundFaces(DWORD majorVersion, const FamilyEnumerator& enumerate) {
  if (majorVersion < 6 || !enumerate) return 0x08;
  DWORD bits = 0;
  enumerate([&bits](const wchar_t* fullName) {
    bits |= BitsOf(fullName);
    return bits != kAllFaces;
  });
  return bits;
}

std::wstring Choose(DWORD majorVersion, const FamilyEnumerator& enumerate) {
  return FaceOf(FoundFaces(majorVersion, enumerate));
}

namespace {
DWORD ReadMajorVersion() {
  using GetVersionNumbers = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  if (!ntdll) return 0;
  auto get = reinterpret_cast<GetVersionNumbers>(
      reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetNtVersionNumbers")));
  if (!get) return 0;
  DWORD major = 0, minor = 0, build = 0;
  get(&major, &minor, &build);
  return major;
}
}  // namespace

DWORD SystemMajorVersion() {
  static const DWORD major = ReadMajorVersion();  // once per process
  return major;
}

namespace {
int CALLBACK OnFamily(const LOGFONTW* logFont, const TEXTMETRICW*, DWORD, LPARAM param) {
  const auto* family = reinterpret_cast<const ENUMLOGFONTW*>(logFont);
  const auto* visit = reinterpret_cast<const FamilyVisitor*>(param);
  return (*visit)(family->elfFullName) ? 1 : 0;
}
}  // namespace

void EnumerateScreenFamilies(const FamilyVisitor& visit) {
  HDC screen = ::GetDC(nullptr);
  if (!screen) return;
  ::EnumFontFamiliesW(screen, nullptr, OnFamily, reinterpret_cast<LPARAM>(&visit));
  ::ReleaseDC(nullptr, screen);
}

}  // namespace lumo::fontface

bool CDefaultFont::ChooseFace() {
  namespace ff = lumo::fontface;
  found_ = ff::FoundFaces(ff::SystemMajorVersion(), ff::EnumerateScreenFamilies);
  face_ = ff::FaceOf(found_);
  if (!font_) {
    font_ = ::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS,
                          face_.c_str());
  }
  return font_ != nullptr;
}
