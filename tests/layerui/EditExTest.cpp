#include "layerui/EditEx.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo::test {
namespace {

// A plain parent window for the edit boxes.
class EditExTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    ASSERT_NE(edit_.Create(parent_, RECT{10, 10, 210, 40}, 1), nullptr);
    edit_.SetPlaceholder(L"请输入手机号");
  }
  void TearDown() override {
    edit_.DestroyWindow();
    ::DestroyWindow(parent_);
  }
  std::wstring Text() const {
    wchar_t text[64] = {};
    ::GetWindowTextW(edit_.m_hWnd, text, 64);
    return text;
  }
  void Type(wchar_t ch) { ::SendMessageW(edit_.m_hWnd, WM_CHAR, ch, 1); }

  HWND parent_ = nullptr;
  CEditEx edit_;
};

TEST_F(EditExTest, IsARealEditBoxOfTheRequestedStyle) {
  const LONG_PTR style = ::GetWindowLongPtrW(edit_.m_hWnd, GWL_STYLE);
  EXPECT_EQ(style & 0x56000000, 0x56000000);
  Type(L'1');
  Type(L'3');
  EXPECT_EQ(Text(), L"13");
}

TEST_F(EditExTest, EnterCallsTheCallbackAndInsertsNothing) {
  Type(L'5');
  Type(VK_RETURN);  // no callback yet: nothing happens
  EXPECT_EQ(Text(), L"5");
  int entered = 0;
  edit_.SetEnterCallback([&] { ++entered; });
  Type(VK_RETURN);
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(Text(), L"5");
}

TEST_F(EditExTest, HidesOnFocusLossOnlyWhenEmpty) {
  const struct {
    const wchar_t* text;
    bool visibleAfter;
  } cases[] = {{L"", false}, {L"138", true}};
  for (const auto& c : cases) {
    ::SetWindowTextW(edit_.m_hWnd, c.text);
    ::ShowWindow(edit_.m_hWnd, SW_SHOWNA);
    ::SendMessageW(edit_.m_hWnd, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(::IsWindowVisible(edit_.m_hWnd) != FALSE, c.visibleAfter) << c.visibleAfter;
  }
}

}  // namespace
}  // namespace lumo::test
