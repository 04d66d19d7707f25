#pragma once
#include <windows.h>

namespace lumo {

// How a window implementation registers its class. A null name makes the
// framework generate one ("Lumo:" and the address of this record), so that
// every implementation class gets a class of its own.
struct WindowClassInfo {
  const wchar_t* name = nullptr;
  UINT style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  HCURSOR cursor = nullptr;  // null: the standard arrow
  HBRUSH background = nullptr;
  ATOM atom = 0;             // set once registered
  wchar_t generatedName[32] = {};
};

// Base of every window the program creates itself. The object is attached to
// its window from WM_NCCREATE to WM_NCDESTROY; messages go through the
// message map (ProcessWindowMessage) and fall back to DefWindowProc.
class CWindowImplBase {
 public:
  HWND m_hWnd = nullptr;

  CWindowImplBase() = default;
  virtual ~CWindowImplBase();
  CWindowImplBase(const CWindowImplBase&) = delete;
  CWindowImplBase& operator=(const CWindowImplBase&) = delete;

  HWND Create(HWND parent, const RECT* rect, const wchar_t* title, DWORD style,
              DWORD exStyle = 0, HMENU menuOrId = nullptr);
  bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
  BOOL DestroyWindow();
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, msg, wParam, lParam);
  }
  BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, msg, wParam, lParam);
  }

  // The message map; true when the message was handled and result is set.
  virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                    LRESULT& lResult, DWORD dwMsgMapID) = 0;

 protected:
  virtual WindowClassInfo& GetWndClassInfo() = 0;
  // Called after the window is gone (WM_NCDESTROY); the object may delete itself here.
  virtual void OnFinalMessage(HWND) {}
  LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
  }

 private:
  bool RegisterClassOnce();
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

// Gives each implementation class T its own class record; T may shadow
// GetWndClassInfo to name its class or change the styles.
template <typename T>
class CWindowImpl : public CWindowImplBase {
 protected:
  WindowClassInfo& GetWndClassInfo() override {
    static WindowClassInfo info;
    return info;
  }
};

}  // namespace lumo

// Message-map macros in the style of the classic Windows frameworks.
#define BEGIN_MSG_MAP(theClass)                                                            \
 public:                                                                                   \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,            \
                            LRESULT& lResult, DWORD dwMsgMapID = 0) override {             \
    (void)hWnd, (void)uMsg, (void)wParam, (void)lParam, (void)lResult;                     \
    (void)dwMsgMapID;                                                                      \
    BOOL bHandled = TRUE;                                                                  \
    (void)bHandled;

#define MESSAGE_HANDLER(msg, func)                          \
  if (uMsg == (msg)) {                                      \
    bHandled = TRUE;                                        \
    lResult = func(uMsg, wParam, lParam, bHandled);         \
    if (bHandled) return TRUE;                              \
  }

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func)      \
  if (uMsg >= (msgFirst) && uMsg <= (msgLast)) {            \
    bHandled = TRUE;                                        \
    lResult = func(uMsg, wParam, lParam, bHandled);         \
    if (bHandled) return TRUE;                              \
  }

#define CHAIN_MSG_MAP(theBase)                                                      \
  if (theBase::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMsgMapID)) \
    return TRUE;

#define END_MSG_MAP() \
  return FALSE;       \
  }
