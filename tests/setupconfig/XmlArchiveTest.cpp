#include "setupconfig/XmlArchive.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include "base/Handles.h"
#include "support/Sandbox.h"

namespace {

using lumo::test::TempFolder;
using lumo::test::WriteUtf16File;

struct IntegerCase {
  const wchar_t* text;
  int expected;
};

class XmlIntegerCases : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(XmlIntegerCases, ReadsLikeTheSetupFiles) { EXPECT_EQ(ParseXmlInteger(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Table, XmlIntegerCases,
    ::testing::Values(IntegerCase{L"0x10", 16}, IntegerCase{L" \t0x10", 16}, IntegerCase{L"0X1f", 31},
                      IntegerCase{L"0x", 0},           // too short for hex; decimal stops at the x
                      IntegerCase{L"0x123456789", 0},  // 11 characters: decimal again
                      IntegerCase{L"0xFFFFFFFF", -1}, IntegerCase{L"0x1g", 1}, IntegerCase{L"5000", 5000},
                      IntegerCase{L"", 0}, IntegerCase{L"   ", 0}, IntegerCase{L"-1", -1}, IntegerCase{L"+7x", 7},
                      IntegerCase{L"abc", 0}, IntegerCase{L"0x168", 0x168}));

class XmlArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(com_.succeeded()); }
  std::wstring Write(const std::wstring& xml) {
    const std::wstring path = folder_ / L"doc.xml";
    EXPECT_TRUE(WriteUtf16File(path, L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\n" + xml));
    return path;
  }
  lumo::ScopedComInit com_;
  TempFolder folder_;
};

TEST_F(XmlArchiveTest, PathNamesMatchAtAnyDepthInDocumentOrder) {
  CXMLArchive archive;
  ASSERT_EQ(archive.Open(Write(L"<Doc><Setup><Group><Program Name=\"a\"/></Group><Program Name=\"b\"/>"
                               L"<Other><Program Name=\"c\"/></Other></Setup><Setup><Program Name=\"x\"/></Setup>"
                               L"</Doc>")),
            S_OK);
  const CXMLArchiveItemList programs = archive.SelectItems(L"Setup/Program");
  ASSERT_EQ(programs.Count(), 3);  // below the first Setup only
  std::wstring names;
  for (long i = 0; i < programs.Count(); ++i) {
    std::wstring name;
    EXPECT_TRUE(programs.GetItem(i).GetAttributeText(L"Name", name));
    names += name;
  }
  EXPECT_EQ(names, L"abc");
  EXPECT_EQ(archive.SelectItems(L"Setup/Program/").Count(), 3);   // trailing slash ignored
  EXPECT_EQ(archive.SelectItems(L"Setup\\Other\\Program").Count(), 1);
  EXPECT_EQ(archive.SelectItems(L"Setup/Missing/Program").Count(), 0);
  EXPECT_EQ(archive.SelectItems(L"Nothing/Program").Count(), 0);
  EXPECT_EQ(archive.SelectItems(std::wstring(2049, L'a')).Count(), 0);
  EXPECT_TRUE(archive.GetItem(L"Setup/Missing").IsEmpty());
  EXPECT_TRUE(programs.GetItem(3).IsEmpty());
  EXPECT_TRUE(programs.GetItem(-1).IsEmpty());
}

TEST_F(XmlArchiveTest, AttributesFallBackToDefaults) {
  CXMLArchive archive;
  ASSERT_EQ(archive.Open(Write(L"<Setup><Main Version=\"\" Count=\"0x20\" Text=\"中文\"/></Setup>")), S_OK);
  const CXMLArchiveItem main = archive.GetItem(L"Setup/Main");
  ASSERT_FALSE(main.IsEmpty());

  std::wstring text = L"old";
  EXPECT_TRUE(main.GetAttributeText(L"Version", text, L"fallback"));
  EXPECT_EQ(text, L"");  // present but empty
  EXPECT_FALSE(main.GetAttributeText(L"Missing", text, L"fallback"));
  EXPECT_EQ(text, L"fallback");
  EXPECT_FALSE(main.GetAttributeText(L"Missing", text));
  EXPECT_EQ(text, L"");
  EXPECT_TRUE(main.GetAttributeText(L"Text", text));
  EXPECT_EQ(text, L"中文");
  text = L"untouched";
  EXPECT_FALSE(main.GetAttributeText(L"", text, L"fallback"));
  EXPECT_EQ(text, L"untouched");

  int value = 5;
  EXPECT_TRUE(main.GetAttributeInt(L"Count", value, 7));
  EXPECT_EQ(value, 32);
  EXPECT_FALSE(main.GetAttributeInt(L"Missing", value, 7));
  EXPECT_EQ(value, 7);
  value = 5;
  EXPECT_FALSE(main.GetAttributeInt(L"", value, 7));
  EXPECT_EQ(value, 5);
}

TEST_F(XmlArchiveTest, OpenFailsForMissingOrMalformedFiles) {
  CXMLArchive archive;
  EXPECT_TRUE(FAILED(archive.Open(folder_ / L"missing.xml")));
  EXPECT_FALSE(archive.IsOpen());
  EXPECT_TRUE(FAILED(archive.Open(Write(L"<Setup><Main></Setup>"))));
  EXPECT_FALSE(archive.IsOpen());
  EXPECT_EQ(archive.SelectItems(L"Setup/Main").Count(), 0);
  EXPECT_TRUE(FAILED(archive.Open(folder_.path())));  // a directory is not a document
}

}  // namespace
