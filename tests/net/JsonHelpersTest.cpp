#include "net/JsonHelpers.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

using lumo::JsonGetInt;
using lumo::JsonGetString;
using lumo::JsonGetStringW;

class JsonHelpers : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_ = lumo::JsonParse(
        "{\"Code\":7,\"Name\":\"Kesto\",\"ratio\":2.9,\"neg\":-5.7,\"big\":1e12,\"flag\":true,"
        "\"count\":\"12\",\"none\":null,\"obj\":{\"a\":1},\"Title\":\"\xE5\xA3\x81\xE7\xBA\xB8\","
        "\"\":3}");
    ASSERT_TRUE(doc_);
  }
  const cJSON* doc() const { return doc_.get(); }

  lumo::UniqueJson doc_;
};

TEST_F(JsonHelpers, GetIntReadsNumbersWhateverTheNameCase) {
  EXPECT_EQ(JsonGetInt(doc(), "Code", -1), 7);
  EXPECT_EQ(JsonGetInt(doc(), "code", -1), 7);
  EXPECT_EQ(JsonGetInt(doc(), "CODE", -1), 7);
  EXPECT_EQ(JsonGetInt(doc(), "RATIO", -1), 2);
  EXPECT_EQ(JsonGetInt(doc(), "neg", 0), -5);
  EXPECT_EQ(JsonGetInt(doc(), "big", 0), INT_MAX);
}

TEST_F(JsonHelpers, GetIntFallsBackToTheDefault) {
  EXPECT_EQ(JsonGetInt(doc(), "missing", 42), 42);
  EXPECT_EQ(JsonGetInt(doc(), "Cod", 42), 42);  // no prefix matches
  EXPECT_EQ(JsonGetInt(doc(), "count", 42), 42);  // a string, even of digits
  EXPECT_EQ(JsonGetInt(doc(), "flag", 42), 42);
  EXPECT_EQ(JsonGetInt(doc(), "none", 42), 42);
  EXPECT_EQ(JsonGetInt(doc(), "obj", 42), 42);
  EXPECT_EQ(JsonGetInt(doc(), "", 42), 42);  // even though the document has a "" member
  EXPECT_EQ(JsonGetInt(doc(), nullptr, 42), 42);
  EXPECT_EQ(JsonGetInt(nullptr, "Code", 42), 42);
  EXPECT_EQ(JsonGetInt(cJSON_GetObjectItem(doc(), "Name"), "Code", 42), 42);  // not an object
}

TEST_F(JsonHelpers, GetStringReadsStringsWhateverTheNameCase) {
  EXPECT_EQ(JsonGetString(doc(), "Name", "x"), "Kesto");
  EXPECT_EQ(JsonGetString(doc(), "nAME", "x"), "Kesto");
  EXPECT_EQ(JsonGetString(doc(), "title", "x"), "\xE5\xA3\x81\xE7\xBA\xB8");
  EXPECT_EQ(JsonGetString(doc(), "count", "x"), "12");
}

TEST_F(JsonHelpers, GetStringFallsBackToTheDefault) {
  EXPECT_EQ(JsonGetString(doc(), "missing", "dflt"), "dflt");
  EXPECT_EQ(JsonGetString(doc(), "Code", "dflt"), "dflt");
  EXPECT_EQ(JsonGetString(doc(), "none", "dflt"), "dflt");
  EXPECT_EQ(JsonGetString(doc(), "obj", "dflt"), "dflt");
  EXPECT_EQ(JsonGetString(doc(), nullptr, "dflt"), "dflt");
  EXPECT_EQ(JsonGetString(nullptr, "Name", "dflt"), "dflt");
}

TEST_F(JsonHelpers, GetStringWMatchesNamesExactlyAndWidensUtf8) {
  EXPECT_EQ(JsonGetStringW(doc(), "Title"), L"壁纸");
  EXPECT_EQ(JsonGetStringW(doc(), "Name"), L"Kesto");
  EXPECT_EQ(JsonGetStringW(doc(), "title"), L"");
  EXPECT_EQ(JsonGetStringW(doc(), "NAME"), L"");
  EXPECT_EQ(JsonGetStringW(doc(), "Code"), L"");
  EXPECT_EQ(JsonGetStringW(doc(), "none"), L"");
  EXPECT_EQ(JsonGetStringW(doc(), nullptr), L"");
  EXPECT_EQ(JsonGetStringW(nullptr, "Name"), L"");
}

TEST(JsonDocuments, PrintWithoutWhiteSpaceAndParseBack) {
  lumo::UniqueJson object(cJSON_CreateObject());
  ASSERT_TRUE(object);
  cJSON_AddItemToObject(object.get(), "name", cJSON_CreateString("\xE5\xA3\x81\xE7\xBA\xB8 x"));
  cJSON_AddItemToObject(object.get(), "n", cJSON_CreateNumber(12));
  const std::string text = lumo::JsonPrint(object.get());
  EXPECT_EQ(text, "{\"name\":\"\xE5\xA3\x81\xE7\xBA\xB8 x\",\"n\":12}");

  const lumo::UniqueJson parsed = lumo::JsonParse(text);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(JsonGetStringW(parsed.get(), "name"), L"壁纸 x");
  EXPECT_EQ(JsonGetInt(parsed.get(), "N", 0), 12);
}

TEST(JsonDocuments, BrokenTextDoesNotParse) {
  EXPECT_FALSE(lumo::JsonParse("{\"a\":"));
  EXPECT_FALSE(lumo::JsonParse(""));
  EXPECT_EQ(lumo::JsonPrint(nullptr), "");
}

}  // namespace
