#include "net/BrixMid2.h"

#include <gtest/gtest.h>

namespace {

const IID kOtherIid = {0x00000000, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};

TEST(BrixMid2, InterfaceIdentifiersAreTheComponentFamilys) {
  const IID extend = {0x191FF683, 0x45BC, 0x472E, {0xAA, 0xFF, 0x2F, 0x9E, 0x2B, 0x43, 0x4B, 0x56}};
  const IID newMid = {0x88D6FFD4, 0x88B6, 0x4943, {0xAF, 0x29, 0xC5, 0xCA, 0x67, 0xBA, 0xFC, 0xD1}};
  EXPECT_TRUE(::IsEqualIID(IID_IExtend, extend));
  EXPECT_TRUE(::IsEqualIID(IID_INewMID, newMid));
}

TEST(BrixMid2, QueryInterfaceHandsOutTheRightPointers) {
  CBrixMID2* object = CBrixMID2::instance();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(CBrixMID2::instance(), object);  // once per process
  INewMID* newMid = object;
  IExtend* extend = object;

  void* out = nullptr;
  EXPECT_EQ(newMid->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(newMid));
  EXPECT_EQ(extend->QueryInterface(IID_INewMID, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(newMid));
  EXPECT_EQ(newMid->QueryInterface(IID_IExtend, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(extend));
  EXPECT_EQ(newMid->QueryInterface(kOtherIid, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(newMid->QueryInterface(IID_INewMID, nullptr), E_POINTER);
}

TEST(BrixMid2, IsNotReferenceCounted) {
  INewMID* newMid = CBrixMID2::instance();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(newMid->AddRef(), 2u);
    EXPECT_EQ(newMid->Release(), 1u);
  }
}

TEST(BrixMid2, ExtensionSlotsAreNotImplemented) {
  IExtend* extend = CBrixMID2::instance();
  EXPECT_EQ(extend->Extend3(1, 2), E_NOTIMPL);
  EXPECT_EQ(extend->Extend4(1, 2), E_NOTIMPL);
  EXPECT_EQ(extend->Extend5(1, 2, 3), E_NOTIMPL);
  EXPECT_EQ(extend->Extend6(1, 2), E_NOTIMPL);
  EXPECT_EQ(extend->Extend7(1, 2, 3), E_NOTIMPL);
  EXPECT_EQ(extend->Extend8(1, 2, 3), E_NOTIMPL);
  EXPECT_EQ(extend->Extend9(1, 2, 3), E_NOTIMPL);
  EXPECT_EQ(extend->Extend10(1, 2, 3, 4), E_NOTIMPL);
}

TEST(BrixMid2, RejectsBuffersTooSmallForTheIdentifier) {
  wchar_t buffer[64] = L"untouched";
  EXPECT_EQ(GetMid2(buffer, 49), E_INVALIDARG);
  EXPECT_EQ(GetMid2(nullptr, 64), E_INVALIDARG);
  EXPECT_STREQ(buffer, L"untouched");
  EXPECT_EQ(static_cast<INewMID*>(CBrixMID2::instance())->GetID(nullptr, 50), E_INVALIDARG);
}

}  // namespace
