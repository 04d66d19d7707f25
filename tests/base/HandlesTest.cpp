#include "base/Handles.h"

#include <gtest/gtest.h>

namespace {

bool IsOpenHandle(HANDLE h) {
  DWORD flags = 0;
  return ::GetHandleInformation(h, &flags) != FALSE;
}

TEST(UniqueHandle, ClosesOnDestructionAndReset) {
  HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    lumo::UniqueHandle event(raw);
    ASSERT_TRUE(event);
    EXPECT_TRUE(IsOpenHandle(raw));
  }
  EXPECT_FALSE(IsOpenHandle(raw));

  lumo::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  raw = event.get();
  event.reset();
  EXPECT_FALSE(event);
  EXPECT_FALSE(IsOpenHandle(raw));
}

TEST(UniqueHandle, MoveTransfersOwnershipAndReleaseKeepsItOpen) {
  lumo::UniqueHandle first(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const HANDLE raw = first.get();
  lumo::UniqueHandle second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_EQ(second.get(), raw);

  lumo::UniqueHandle third;
  third = std::move(second);
  EXPECT_EQ(third.get(), raw);
  EXPECT_TRUE(IsOpenHandle(raw));

  HANDLE released = third.release();
  EXPECT_FALSE(third);
  EXPECT_TRUE(IsOpenHandle(released));
  ::CloseHandle(released);
}

// Each wrapper must know its own empty value: a failed CreateFile returns
// INVALID_HANDLE_VALUE, a failed OpenProcess returns null.
TEST(UniqueResource, EmptyValuesDifferPerKind) {
  lumo::UniqueFile missing(::CreateFileW(L"C:\\no\\such\\file.txt", GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(lumo::UniqueFindHandle().get(), INVALID_HANDLE_VALUE);

  lumo::UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, 0xFFFFFFF0));
  EXPECT_FALSE(process);
  EXPECT_EQ(lumo::UniqueHkey().get(), nullptr);
  EXPECT_EQ(lumo::UniqueModule().get(), nullptr);
}

TEST(UniqueHkey, PutClosesTheKeyItHeld) {
  lumo::UniqueHkey key;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
  const HKEY first = key.get();
  DWORD subKeys = 0;
  ASSERT_EQ(::RegQueryInfoKeyW(first, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  HKEY* slot = key.put();
  EXPECT_EQ(*slot, nullptr);
  EXPECT_NE(::RegQueryInfoKeyW(first, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
}

TEST(UniqueModule, FreesTheLibraryReference) {
  // msi.dll is not loaded by the test itself, so our reference is the only one.
  HMODULE raw = nullptr;
  {
    lumo::UniqueModule module(::LoadLibraryW(L"msi.dll"));
    ASSERT_TRUE(module);
    raw = module.get();
    EXPECT_EQ(::GetModuleHandleW(L"msi.dll"), raw);
  }
  EXPECT_EQ(::GetModuleHandleW(L"msi.dll"), nullptr);
}

TEST(UniqueGdi, BitmapAndMemoryDcAreDeleted) {
  lumo::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dc);
  lumo::UniqueBitmap bitmap(::CreateCompatibleBitmap(dc.get(), 4, 4));
  ASSERT_TRUE(bitmap);
  const HBITMAP raw = bitmap.get();
  bitmap.reset();
  EXPECT_EQ(::GetObjectType(raw), 0u);
}

TEST(UniqueWindowDc, ReleasesToItsWindow) {
  lumo::UniqueWindowDc dc = lumo::UniqueWindowDc::Get(nullptr);
  ASSERT_TRUE(dc);
  lumo::UniqueWindowDc moved(std::move(dc));
  EXPECT_FALSE(dc);
  EXPECT_TRUE(moved);
  moved.reset();
  EXPECT_FALSE(moved);
}

}  // namespace
