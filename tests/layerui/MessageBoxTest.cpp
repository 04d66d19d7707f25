// The real skinned message box, driven by posted mouse messages from a
// thread timer that runs inside the box's modal loop.
#include "layerui/MessageBox.h"

#include <gtest/gtest.h>

#include <string>

#include "layerui/LayerButton.h"
#include "layerui/LayerResManager.h"
#include "layerui/LayerTestSupport.h"
#include "layerui/SkinFixture.h"

namespace lumo::test {
namespace {

enum class Target { kFirst, kSecond, kClose, kCloseMessage };

// What the timer saw of the box and what it does to it.
struct Driver {
  Target target = Target::kFirst;
  std::wstring artifact;  // screenshot name, empty for none
  bool seen = false;
  std::wstring firstCaption, secondCaption;
  CImage* firstImage = nullptr;
  CImage* secondImage = nullptr;
  bool hasFirst = false, hasSecond = false;
  int ticks = 0;
};
Driver* g_driver = nullptr;

HWND FindMessageBox() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hwnd, LPARAM out) -> BOOL {
        if (!CMessageBox::FromHandle(hwnd)) return TRUE;
        *reinterpret_cast<HWND*>(out) = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The box as it is on screen, read back from the display.
void SaveScreenshot(HWND box, const std::wstring& name) {
  ::UpdateWindow(box);
  RECT frame{};
  ::GetWindowRect(box, &frame);
  Surface surface(frame.right - frame.left, frame.bottom - frame.top);
  HDC screen = ::GetDC(nullptr);
  ::BitBlt(surface.dc(), 0, 0, surface.width(), surface.height(), screen, frame.left, frame.top,
           SRCCOPY);
  ::ReleaseDC(nullptr, screen);
  surface.SaveArtifact(name);
}

void Click(HWND box, ILayerControl* control) {
  RECT r{};
  control->GetWindowRect(&r);
  const LPARAM point = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ::PostMessageW(box, WM_MOUSEMOVE, 0, point);
  ::PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, point);
  ::PostMessageW(box, WM_LBUTTONUP, 0, point);
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  Driver& d = *g_driver;
  HWND hwnd = FindMessageBox();
  CMessageBox* box = CMessageBox::FromHandle(hwnd);
  // Bounded by ticks: a box that never shows ends the wait.
  if (!box || !::IsWindowVisible(hwnd)) {
    if (++d.ticks > 100) ::KillTimer(nullptr, timer);
    return;
  }
  ::KillTimer(nullptr, timer);
  d.seen = true;
  if (auto* first = dynamic_cast<CLayerButtonCtrl*>(box->GetFirstButton())) {
    d.hasFirst = true;
    first->GetText(&d.firstCaption);
    d.firstImage = first->GetImage();
  }
  if (auto* second = dynamic_cast<CLayerButtonCtrl*>(box->GetSecondButton())) {
    d.hasSecond = true;
    second->GetText(&d.secondCaption);
    d.secondImage = second->GetImage();
  }
  if (!d.artifact.empty()) SaveScreenshot(hwnd, d.artifact);
  switch (d.target) {
    case Target::kFirst:
      if (box->GetFirstButton()) Click(hwnd, box->GetFirstButton());
      break;
    case Target::kSecond:
      if (box->GetSecondButton()) Click(hwnd, box->GetSecondButton());
      break;
    case Target::kClose:
      Click(hwnd, box->GetCloseButton());
      break;
    case Target::kCloseMessage:
      ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
      break;
  }
}

class MessageBoxTest : public SkinFixture {
 protected:
  int Show(Driver& driver, UINT type) {
    g_driver = &driver;
    ::SetTimer(nullptr, 0, 50, &OnTimer);
    const int result = ShowMessageBox(nullptr, L"卸载程序已被破坏，请重新下载安装后再进行卸载", type);
    g_driver = nullptr;
    return result;
  }
};

TEST_F(MessageBoxTest, ButtonsCarryTheCaptionsAndResultsOfTheType) {
  CLayerResManager* registry = CLayerResManager::Instance();
  const struct {
    const char* name;
    UINT type;
    Target target;
    const wchar_t* first;   // blue, right; null: none
    const wchar_t* second;  // grey, left; null: none
    int result;
    const wchar_t* artifact;
  } cases[] = {
      {"ok", MB_OK, Target::kFirst, L"确定", nullptr, IDOK, L"messagebox_ok"},
      {"okcancel first", MB_OKCANCEL, Target::kFirst, L"取消", L"确定", IDCANCEL,
       L"messagebox_okcancel"},
      {"okcancel second", MB_OKCANCEL, Target::kSecond, L"取消", L"确定", IDOK, nullptr},
      {"yesno first", MB_YESNO, Target::kFirst, L"是", L"否", IDYES, L"messagebox_yesno"},
      {"yesno second", MB_YESNO, Target::kSecond, L"是", L"否", IDNO, nullptr},
      {"yesno close button", MB_YESNO, Target::kClose, L"是", L"否", IDCLOSE, nullptr},
      {"no buttons, WM_CLOSE", MB_ABORTRETRYIGNORE, Target::kCloseMessage, nullptr, nullptr,
       IDCLOSE, L"messagebox_nobuttons"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Driver driver;
    driver.target = c.target;
    if (c.artifact) driver.artifact = c.artifact;
    EXPECT_EQ(Show(driver, c.type), c.result);
    ASSERT_TRUE(driver.seen);
    EXPECT_EQ(driver.hasFirst, c.first != nullptr);
    EXPECT_EQ(driver.hasSecond, c.second != nullptr);
    if (c.first) {
      EXPECT_EQ(driver.firstCaption, c.first);
      EXPECT_EQ(driver.firstImage, registry->GetImage(237));
    }
    if (c.second) {
      EXPECT_EQ(driver.secondCaption, c.second);
      EXPECT_EQ(driver.secondImage, registry->GetImage(241));
    }
    EXPECT_EQ(FindMessageBox(), nullptr);
  }
}

TEST_F(MessageBoxTest, SilentFlagReturnsAtOnceWithoutAWindow) {
  SetMessageBoxSilent(true);
  Driver driver;
  g_driver = &driver;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &OnTimer);
  const int result = ShowMessageBox(nullptr, L"silent", MB_YESNO);
  SetMessageBoxSilent(false);
  ::KillTimer(nullptr, timer);
  g_driver = nullptr;
  EXPECT_EQ(result, -1);
  EXPECT_FALSE(driver.seen);
  EXPECT_EQ(FindMessageBox(), nullptr);
  EXPECT_FALSE(IsMessageBoxSilent());
}

}  // namespace
}  // namespace lumo::test
