#include "app/StartupChecks.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

class RunningMainWindow {
 public:
  RunningMainWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = CInstanceMutex::kMainWindowClass;
    ::RegisterClassW(&wc);
    hwnd_ = ::CreateWindowExW(0, CInstanceMutex::kMainWindowClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
  }
  ~RunningMainWindow() {
    ::DestroyWindow(hwnd_);
    ::UnregisterClassW(CInstanceMutex::kMainWindowClass, ::GetModuleHandleW(nullptr));
  }
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

bool ActivationPosted(HWND hwnd) {
  MSG msg;
  return ::PeekMessageW(&msg, hwnd, CInstanceMutex::kActivateMessage, CInstanceMutex::kActivateMessage, PM_REMOVE) &&
         msg.wParam == 0 && msg.lParam == 0;
}

TEST(CInstanceMutex, SecondHolderFailsAndActivatesTheRunningWindow) {
  CInstanceMutex first, second;
  ASSERT_TRUE(first.CheckSingleInstance());
  {
    RunningMainWindow window;
    ASSERT_TRUE(window.hwnd());
    EXPECT_FALSE(second.CheckSingleInstance());
    EXPECT_TRUE(ActivationPosted(window.hwnd()));
  }
  EXPECT_FALSE(second.CheckSingleInstance());  // no window: still refused, nothing to post
  first.ReleaseAll();
  first.ReleaseAll();  // harmless twice
  EXPECT_TRUE(second.CheckSingleInstance());
  second.ReleaseAll();
}

}  // namespace
