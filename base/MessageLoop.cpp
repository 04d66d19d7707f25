#include "base/MessageLoop.h"

#include <algorithm>

namespace lumo {

namespace {
template <typename T>
void RemoveFrom(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
}  // namespace

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
  if (filter) filters_.push_back(filter);
}
void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) { RemoveFrom(filters_, filter); }
void CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
  if (handler) idleHandlers_.push_back(handler);
}
void CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) { RemoveFrom(idleHandlers_, handler); }

// Last added filter sees the message first; a window added later (on top)
// gets the first look at keyboard input. Copies guard against filters that
// unregister themselves while being called.
bool CMessageLoop::PreTranslateMessage(MSG* msg) {
  const std::vector<CMessageFilter*> filters(filters_);
  for (auto it = filters.rbegin(); it != filters.rend(); ++it) {
    if ((*it)->PreTranslateMessage(msg)) return true;
  }
  return false;
}

bool CMessageLoop::OnIdle(int idleCount) {
  const std::vector<CIdleHandler*> handlers(idleHandlers_);
  bool moreWork = false;
  for (CIdleHandler* handler : handlers) moreWork = handler->OnIdle(idleCount) || moreWork;
  return moreWork;
}

// Mouse moves, paints and the caret blink timer come too often to wake the
// idle handlers each time.
bool CMessageLoop::IsIdleMessage(const MSG& msg) {
  switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case 0x0118:  // WM_SYSTIMER
      return false;
    default:
      return true;
  }
}

int CMessageLoop::Run() {
  MSG msg{};
  bool doIdle = true;
  int idleCount = 0;
  for (;;) {
    while (doIdle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) doIdle = false;
    }
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) continue;  // a failed fetch is skipped
    if (!got) break;          // WM_QUIT
    if (!PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (IsIdleMessage(msg)) {
      doIdle = true;
      idleCount = 0;
    }
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace lumo
