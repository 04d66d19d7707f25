#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "base/AppModule.h"
#include "base/MessageLoop.h"
#include "base/WindowImpl.h"

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kSwallowed = WM_APP + 2;
constexpr UINT kUnhandled = WM_APP + 3;

class ProbeWindow : public lumo::CWindowImpl<ProbeWindow> {
 public:
  BEGIN_MSG_MAP(ProbeWindow)
    MESSAGE_HANDLER(kPing, OnPing)
    MESSAGE_HANDLER(kSwallowed, OnPing)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
  END_MSG_MAP()

  std::vector<UINT> received;
  bool destroyed = false;
  HWND finalWindow = nullptr;

 private:
  LRESULT OnPing(UINT msg, WPARAM, LPARAM, BOOL&) {
    received.push_back(msg);
    return 1234;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    destroyed = true;
    handled = FALSE;  // let DefWindowProc see it too
    return 0;
  }
  LRESULT OnTimer(UINT msg, WPARAM id, LPARAM, BOOL&) {
    ::KillTimer(m_hWnd, id);
    received.push_back(msg);
    return 0;
  }
  void OnFinalMessage(HWND hwnd) override { finalWindow = hwnd; }
};

class OtherWindow : public lumo::CWindowImpl<OtherWindow> {
 public:
  BEGIN_MSG_MAP(OtherWindow)
  END_MSG_MAP()
};

std::wstring ClassNameOf(HWND hwnd) {
  wchar_t name[128] = {};
  ::GetClassNameW(hwnd, name, 128);
  return name;
}

TEST(WindowImpl, MessageMapRoutesHandledAndFallsBackForTheRest) {
  ProbeWindow window;
  ASSERT_TRUE(window.Create(nullptr, nullptr, L"probe", WS_POPUP));
  EXPECT_EQ(window.SendMessage(kPing), 1234);
  EXPECT_EQ(window.SendMessage(kUnhandled), 0);  // DefWindowProc's answer
  EXPECT_EQ(window.received, std::vector<UINT>({kPing}));

  const HWND hwnd = window.m_hWnd;
  EXPECT_TRUE(window.DestroyWindow());
  EXPECT_TRUE(window.destroyed);
  EXPECT_EQ(window.finalWindow, hwnd);
  EXPECT_EQ(window.m_hWnd, nullptr);
  EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(WindowImpl, EachImplementationGetsItsOwnClass) {
  ProbeWindow probe;
  OtherWindow other;
  ASSERT_TRUE(probe.Create(nullptr, nullptr, L"", WS_POPUP));
  ASSERT_TRUE(other.Create(nullptr, nullptr, L"", WS_POPUP));
  const std::wstring probeClass = ClassNameOf(probe.m_hWnd);
  EXPECT_EQ(probeClass.rfind(L"Lumo:", 0), 0u);
  EXPECT_NE(probeClass, ClassNameOf(other.m_hWnd));

  ProbeWindow second;  // same implementation, same class
  ASSERT_TRUE(second.Create(nullptr, nullptr, L"", WS_POPUP));
  EXPECT_EQ(ClassNameOf(second.m_hWnd), probeClass);
}

TEST(WindowImpl, DestroyingTheObjectDestroysItsWindow) {
  HWND hwnd = nullptr;
  {
    OtherWindow window;
    hwnd = window.Create(nullptr, nullptr, L"", WS_POPUP);
    ASSERT_TRUE(hwnd);
  }
  EXPECT_FALSE(::IsWindow(hwnd));
}

class SwallowFilter : public lumo::CMessageFilter {
 public:
  bool PreTranslateMessage(MSG* msg) override { return msg->message == kSwallowed; }
};

// Records each idle call with whether the window has seen its timer yet.
// The first round ends after three calls by posting a mouse move (which must
// not re-arm idle processing) and starting a timer (which must); the second
// round ends the loop.
class ScriptedIdle : public lumo::CIdleHandler {
 public:
  explicit ScriptedIdle(ProbeWindow& window) : window_(window) {}
  bool OnIdle(int idleCount) override {
    const bool timerSeen = !window_.received.empty() && window_.received.back() == WM_TIMER;
    calls.emplace_back(idleCount, timerSeen);
    if (round_ == 0 && idleCount < 2) return true;
    if (round_++ == 0) {
      ::PostMessageW(window_.m_hWnd, WM_MOUSEMOVE, 0, 0);
      ::SetTimer(window_.m_hWnd, 1, 50, nullptr);
      return false;
    }
    ::PostQuitMessage(7);
    return false;
  }
  std::vector<std::pair<int, bool>> calls;

 private:
  ProbeWindow& window_;
  int round_ = 0;
};

TEST(MessageLoop, FiltersIdleRoundsAndQuitCode) {
  ProbeWindow window;
  ASSERT_TRUE(window.Create(nullptr, nullptr, L"", WS_POPUP));
  lumo::CMessageLoop loop;
  ASSERT_TRUE(lumo::AppModule().AddMessageLoop(&loop));
  EXPECT_EQ(lumo::AppModule().GetMessageLoop(), &loop);
  EXPECT_FALSE(lumo::AppModule().AddMessageLoop(&loop));  // one loop per thread

  SwallowFilter filter;
  ScriptedIdle idle(window);
  loop.AddMessageFilter(&filter);
  loop.AddIdleHandler(&idle);

  window.PostMessage(kSwallowed);
  window.PostMessage(kPing);
  EXPECT_EQ(loop.Run(), 7);
  EXPECT_EQ(window.received, std::vector<UINT>({kPing, WM_TIMER}));  // kSwallowed was filtered
  const std::vector<std::pair<int, bool>> expected = {{0, false}, {1, false}, {2, false}, {0, true}};
  EXPECT_EQ(idle.calls, expected);

  EXPECT_TRUE(lumo::AppModule().RemoveMessageLoop());
  EXPECT_EQ(lumo::AppModule().GetMessageLoop(), nullptr);
}

}  // namespace
