#pragma once
// GDI+ through MinGW's headers: they need the COM stream types declared first.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
