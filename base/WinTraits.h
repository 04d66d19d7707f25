#pragma once
#include <windows.h>

namespace lumo {

// The window style and extended style a window implementation is created with.
template <DWORD Style, DWORD ExStyle = 0>
struct CWinTraits {
  static constexpr DWORD kStyle = Style;
  static constexpr DWORD kExStyle = ExStyle;
  static DWORD GetWndStyle(DWORD style) { return style ? style : Style; }
  static DWORD GetWndExStyle(DWORD exStyle) { return exStyle ? exStyle : ExStyle; }
};

}  // namespace lumo
