#include "layerui/MessageBox.h"

namespace {
volatile LONG g_silent = 0;
}

void SetMessageBoxSilent(bool silent) { ::InterlockedExchange(&g_silent, silent ? 1 : 0); }
bool IsMessageBoxSilent() { return ::InterlockedCompareExchange(&g_silent, 0, 0) != 0; }

// The system's own box until the skinned one takes its place.
int ShowMessageBox(HWND owner, const wchar_t* text, UINT type) {
  if (IsMessageBoxSilent()) return -1;
  return ::MessageBoxW(owner, text ? text : L"", L"", (type & 0x0F) | MB_TOPMOST);
}
