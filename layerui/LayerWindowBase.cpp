#include "layerui/LayerWindowBase.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/AppModule.h"
#include "layerui/DefaultFont.h"
#include "layerui/LayerDraw.h"

namespace {

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info)) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

// A 32-bit bottom-up section: what the surface and the cache are made of.
HBITMAP CreateSurfaceSection(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// The TOOLINFOW size the system's common controls understand.
UINT ToolInfoSize() {
  return lumo::fontface::SystemMajorVersion() >= 6 ? sizeof(TOOLINFOW) : TTTOOLINFOW_V2_SIZE;
}

}  // namespace

CLayerWindowCore::CLayerWindowCore(bool layered)
    : layered_(layered), root_(std::make_unique<CLayerControlRootView>()) {}

CLayerWindowCore::~CLayerWindowCore() {
  // The window goes first so that no message reaches a half-destroyed object.
  if (IsWindow()) DestroyWindow();
  timers_.clear();
}

// ---- ILayerWindow -------------------------------------------------------

void CLayerWindowCore::ShowToolTip(int show, const std::wstring& text) {
  if (!toolTip_ && IsWindow()) {
    toolTip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                 lumo::AppModule().GetModuleInstance(), nullptr);
    if (toolTip_) {
      ::SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, 300);
      ::SendMessageW(toolTip_, TTM_ACTIVATE, TRUE, 0);
    }
  }
  if (!toolTip_) return;
  TOOLINFOW tool{};
  tool.cbSize = ToolInfoSize();
  tool.uFlags = TTF_IDISHWND;
  HWND parent = ::GetParent(m_hWnd);
  tool.hwnd = parent ? parent : m_hWnd;
  tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
  if (show) {
    if (text == toolTipText_) return;
    toolTipText_ = text;
    ::SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = const_cast<wchar_t*>(toolTipText_.c_str());
    ::SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  } else {
    ::SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    toolTipText_.clear();
  }
}

int CLayerWindowCore::SetLayerTimer(UINT id, UINT elapseMs) {
  const auto it = timers_.find(id);
  if (it != timers_.end()) {
    ++it->second;  // already running: its interval stays
    return 1;
  }
  if (!IsWindow() || !::SetTimer(m_hWnd, id, elapseMs, nullptr)) return 0;
  timers_[id] = 1;
  return 1;
}

int CLayerWindowCore::KillLayerTimer(UINT id) {
  const auto it = timers_.find(id);
  if (it == timers_.end()) return 0;
  if (IsWindow()) ::KillTimer(m_hWnd, id);
  timers_.erase(it);
  return 1;
}

int CLayerWindowCore::GetTimerUseCount(UINT id) const {
  const auto it = timers_.find(id);
  return it == timers_.end() ? 0 : it->second;
}

int CLayerWindowCore::PostLayerMessage(UINT msg, WPARAM wParam, LPARAM lParam, ILayerControl*) {
  return ::PostMessageW(m_hWnd, msg, wParam, lParam);
}

LRESULT CLayerWindowCore::SendLayerMessage(UINT msg, WPARAM wParam, LPARAM lParam,
                                           ILayerControl*) {
  return ::SendMessageW(m_hWnd, msg, wParam, lParam);
}

int CLayerWindowCore::InvalidateLayer(std::unique_ptr<RECT> rect, int rebuildBackground) {
  // A pending rebuild stays asked for until a paint has done it.
  if (rebuildBackground) backgroundDirty_ = true;
  if (!IsWindow()) return 0;
  if (!::PostMessageW(m_hWnd, WM_LAYER_REDRAW, 0, reinterpret_cast<LPARAM>(rect.get()))) return 0;
  rect.release();  // the message owns it now
  return 1;
}

// ---- Painting -----------------------------------------------------------

void CLayerWindowCore::DrawBackground(HDC dc, const RECT& client) {
  LayerFillRect(dc, client, RGB(0, 255, 0), 254);
}

void CLayerWindowCore::DrawControls(HDC dc, const RECT&) { root_->Paint(dc); }

void CLayerWindowCore::PaintSurface(HDC target, const RECT& client) {
  const SIZE size{client.right - client.left, client.bottom - client.top};
  const SIZE cached = BitmapSize(backgroundCache_.get());
  if (backgroundCache_ && (cached.cx != size.cx || cached.cy != size.cy)) {
    backgroundCache_.reset();
    backgroundDirty_ = true;
  }
  if (!backgroundCache_) {
    backgroundCache_.reset(CreateSurfaceSection(size.cx, size.cy));
    backgroundDirty_ = true;
  }
  if (backgroundCache_) {
    lumo::UniqueMemoryDc cacheDc(::CreateCompatibleDC(target));
    const HGDIOBJ old = ::SelectObject(cacheDc.get(), backgroundCache_.get());
    if (backgroundDirty_) {
      const int saved = ::SaveDC(cacheDc.get());
      DrawBackground(cacheDc.get(), client);
      ::RestoreDC(cacheDc.get(), saved);
      backgroundDirty_ = false;
    }
    ::BitBlt(target, 0, 0, size.cx, size.cy, cacheDc.get(), 0, 0, SRCCOPY);
    ::SelectObject(cacheDc.get(), old);
  }
  DrawBeforeControls(target, client);
  DrawControls(target, client);
  DrawAfterControls(target, client);
}

HBITMAP CLayerWindowCore::GetOrCreateSurface(const RECT& client) {
  const SIZE size = BitmapSize(surface_.get());
  if (!surface_ || size.cx != client.right || size.cy != client.bottom)
    surface_.reset(CreateSurfaceSection(client.right, client.bottom));
  return surface_.get();
}

void CLayerWindowCore::UpdateLayered(const RECT* clip) {
  RECT client{};
  ::GetClientRect(m_hWnd, &client);
  HDC screen = ::GetDC(nullptr);
  HBITMAP surface = GetOrCreateSurface(client);
  if (!surface) {
    ::ReleaseDC(nullptr, screen);
    return;
  }
  lumo::UniqueMemoryDc memory(::CreateCompatibleDC(screen));
  const HGDIOBJ old = ::SelectObject(memory.get(), surface);
  if (clip) {
    HRGN region = ::CreateRectRgnIndirect(clip);
    ::SelectClipRgn(memory.get(), region);
    PaintSurface(memory.get(), client);
    ::SelectClipRgn(memory.get(), nullptr);
    ::DeleteObject(region);
  } else {
    PaintSurface(memory.get(), client);
  }
  RECT window{};
  ::GetWindowRect(m_hWnd, &window);
  POINT position{window.left, window.top};
  SIZE size{window.right - window.left, window.bottom - window.top};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha_, AC_SRC_ALPHA};
  ::UpdateLayeredWindow(m_hWnd, screen, &position, &size, memory.get(), &source, 0, &blend,
                        ULW_ALPHA);
  ::SelectObject(memory.get(), old);
  ::ReleaseDC(nullptr, screen);
}

void CLayerWindowCore::DropQueuedRedraws() {
  if (!m_hWnd) return;
  MSG msg;
  while (::PeekMessageW(&msg, m_hWnd, WM_LAYER_REDRAW, WM_LAYER_REDRAW, PM_REMOVE))
    std::unique_ptr<RECT>(reinterpret_cast<RECT*>(msg.lParam));
}

// ---- Messages -----------------------------------------------------------

LRESULT CLayerWindowCore::OnCreateMessage(UINT, WPARAM, LPARAM, BOOL&) {
  RECT client{};
  ::GetClientRect(m_hWnd, &client);
  root_->Create(m_hWnd, this, -1, client, 0);
  OnCreate();
  InvalidateLayer(nullptr, 1);
  return 0;
}

LRESULT CLayerWindowCore::OnDestroyMessage(UINT, WPARAM, LPARAM, BOOL&) {
  if (IsWindow())
    for (const auto& timer : timers_) ::KillTimer(m_hWnd, timer.first);
  timers_.clear();
  if (toolTip_) ::DestroyWindow(toolTip_);
  toolTip_ = nullptr;
  toolTipText_.clear();
  OnDestroy();
  root_->OnDestroy();
  DropQueuedRedraws();
  return 0;
}

LRESULT CLayerWindowCore::OnNcDestroyMessage(UINT, WPARAM, LPARAM, BOOL& handled) {
  DropQueuedRedraws();
  handled = FALSE;
  return 0;
}

LRESULT CLayerWindowCore::OnSizeMessage(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const int width = LOWORD(lParam), height = HIWORD(lParam);
  root_->OnSize(0, 0, width, height);
  OnSize(0, 0, width, height);
  return 0;
}

LRESULT CLayerWindowCore::OnPaintMessage(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PAINTSTRUCT paint{};
  HDC dc = wParam ? reinterpret_cast<HDC>(wParam) : ::BeginPaint(m_hWnd, &paint);
  RECT client{};
  ::GetClientRect(m_hWnd, &client);
  if (HBITMAP surface = GetOrCreateSurface(client)) {
    lumo::UniqueMemoryDc memory(::CreateCompatibleDC(dc));
    const HGDIOBJ old = ::SelectObject(memory.get(), surface);
    PaintSurface(memory.get(), client);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    ::SelectObject(memory.get(), old);
  }
  if (!wParam) ::EndPaint(m_hWnd, &paint);
  return 0;
}

LRESULT CLayerWindowCore::OnSetCursorMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  int set = 0;
  root_->OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam), &set);
  if (!set) handled = FALSE;
  return TRUE;
}

LRESULT CLayerWindowCore::OnNcHitTestMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const LRESULT hit = DefWindowProc(msg, wParam, lParam);
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  OnNcHitTest(x, y);
  if (hit != HTCLIENT || !dragByBackground_) return hit;
  POINT point{x, y};
  ::ScreenToClient(m_hWnd, &point);
  ILayerControl* control = root_->ChildFromPoint(point.x, point.y);
  return (!control || control->IsDragThrough()) ? HTCAPTION : hit;
}

LRESULT CLayerWindowCore::OnTimerMessage(UINT, WPARAM wParam, LPARAM, BOOL&) {
  root_->OnTimer(static_cast<UINT>(wParam));
  OnTimer(static_cast<UINT>(wParam));
  return 0;
}

LRESULT CLayerWindowCore::RelayToToolTip(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  if (toolTip_) {
    MSG relayed{m_hWnd, msg, wParam, lParam, 0, POINT{0, 0}};
    ::SendMessageW(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }
  handled = FALSE;  // the rows for the single messages follow
  return 0;
}

LRESULT CLayerWindowCore::OnMouseMoveMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  root_->OnMouseMove(static_cast<UINT>(wParam), x, y);
  OnMouseMove(static_cast<UINT>(wParam), x, y);
  if (leaveTracking_) {
    TrackMouseLeave();
    leaveTracking_ = false;
  }
  return 0;
}

LRESULT CLayerWindowCore::OnMouseHoverMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  root_->OnMouseHover(static_cast<UINT>(wParam), x, y);
  OnMouseHover(static_cast<UINT>(wParam), x, y);
  return 0;
}

LRESULT CLayerWindowCore::OnMouseLeaveMessage(UINT, WPARAM, LPARAM, BOOL&) {
  if (leaveTracking_) return 0;
  root_->OnMouseLeave();
  OnMouseLeave();
  leaveTracking_ = true;
  return 0;
}

LRESULT CLayerWindowCore::OnButtonMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const UINT flags = static_cast<UINT>(wParam);
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  int handled = 0;
  switch (msg) {
    case WM_LBUTTONDOWN:
      ::SetCapture(m_hWnd);
      root_->OnLButtonDown(flags, x, y, &handled);
      OnLButtonDown(flags, x, y);
      break;
    case WM_LBUTTONUP:
      root_->OnLButtonUp(flags, x, y, &handled);
      OnLButtonUp(flags, x, y);
      ::ReleaseCapture();
      break;
    case WM_LBUTTONDBLCLK:
      root_->OnLButtonDblClk(flags, x, y, &handled);
      OnLButtonDblClk(flags, x, y);
      break;
    case WM_RBUTTONDOWN:
      root_->OnRButtonDown(flags, x, y, &handled);
      OnRButtonDown(flags, x, y);
      break;
    default:
      root_->OnRButtonUp(flags, x, y, &handled);
      OnRButtonUp(flags, x, y);
      break;
  }
  return 0;
}

LRESULT CLayerWindowCore::OnThemeChanged(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (!layered_) {
    handled = FALSE;
    return 0;
  }
  InvalidateLayer(nullptr, 1);
  return 0;
}

LRESULT CLayerWindowCore::OnLayerRedraw(UINT, WPARAM, LPARAM lParam, BOOL&) {
  std::unique_ptr<RECT> rect(reinterpret_cast<RECT*>(lParam));
  if (layered_)
    UpdateLayered(rect.get());
  else
    ::InvalidateRect(m_hWnd, rect.get(), FALSE);
  return 0;
}

void CLayerWindowCore::TrackMouseLeave() {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_HOVER | TME_LEAVE;
  track.hwndTrack = m_hWnd;
  track.dwHoverTime = HOVER_DEFAULT;
  ::TrackMouseEvent(&track);
}
