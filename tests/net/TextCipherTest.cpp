#include "net/TextCipher.h"

#include <gtest/gtest.h>

namespace {

using lumo::DecryptString;
using lumo::DecryptText;
using lumo::EncryptString;
using lumo::EncryptText;

struct KnownText {
  const wchar_t* plaintext;
  const wchar_t* key;
  const wchar_t* base64;
};

class TextCipherKnownAnswers : public ::testing::TestWithParam<KnownText> {};

// Expected texts come from an independent Blowfish-ECB implementation over the
// zero-padded UTF-8 bytes.
TEST_P(TextCipherKnownAnswers, EncryptsToTheReferenceTextAndBack) {
  EXPECT_EQ(EncryptText(GetParam().plaintext, GetParam().key), GetParam().base64);
  EXPECT_EQ(DecryptText(GetParam().base64, GetParam().key), GetParam().plaintext);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextCipherKnownAnswers,
    ::testing::Values(
        // Chinese plaintext and key: 24 UTF-8 bytes, three whole blocks.
        KnownText{L"你好，世界！壁纸", L"机器标识-0123", L"VNZpGYxTIqmrsuvBsK5DPYYOcrVI52kV"},
        // Exactly one block: no padding block, 12 characters with one "=".
        KnownText{L"12345678", L"machine-key", L"2vVVJ79OaMc="},
        // Five bytes, padded with three zeros to one block.
        KnownText{L"hello", L"machine-key", L"6jZZFOc88xI="},
        KnownText{L"Kesto wallpaper", L"{8F6E2C1A-0001}", L"dQzYKaz7S8xCrxzZSEA54Q=="}));

TEST(TextCipher, EmptyPlaintextOrKeyGivesEmptyText) {
  EXPECT_EQ(EncryptText(L"", L"key"), L"");
  EXPECT_EQ(EncryptText(L"plain", L""), L"");
  EXPECT_EQ(DecryptText(L"2vVVJ79OaMc=", L""), L"");
  EXPECT_EQ(DecryptText(L"", L"machine-key"), L"");

  std::string out = "untouched";
  EXPECT_FALSE(EncryptString("", "key", out));
  EXPECT_FALSE(EncryptString("plain", "", out));
  EXPECT_FALSE(DecryptString("", "key", out));
  EXPECT_EQ(out, "untouched");
}

class DecryptTextRejects : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(DecryptTextRejects, GivesEmptyText) { EXPECT_EQ(DecryptText(GetParam(), L"machine-key"), L""); }

INSTANTIATE_TEST_SUITE_P(NotBase64, DecryptTextRejects,
                         ::testing::Values(L"2vVVJ79OaMc", L"2vVVJ79OaM", L"2vVVJ79OaMc==",
                                           L"2vVV-79OaMc=", L"2vVV_79OaMc=", L"2vVVJ7=OaMc=",
                                           L"2vVVJ79OaMc\x00E9", L"-", L"_"));

TEST(TextCipher, DecryptStringKeepsThePaddingWhileDecryptTextDropsIt) {
  std::string base64;
  ASSERT_TRUE(EncryptString("hello", "machine-key", base64));
  EXPECT_EQ(base64, "6jZZFOc88xI=");

  std::string plaintext;
  ASSERT_TRUE(DecryptString(base64, "machine-key", plaintext));
  EXPECT_EQ(plaintext, std::string("hello\0\0\0", 8));
  EXPECT_EQ(DecryptText(L"6jZZFOc88xI=", L"machine-key"), L"hello");
}

TEST(TextCipher, ByteFormsCarryZeroBytesWhichTheTextFormCutsAt) {
  const std::string bytes("a\0b\xFF\x01", 5);
  std::string base64;
  ASSERT_TRUE(EncryptString(bytes, "key bytes", base64));
  std::string plaintext;
  ASSERT_TRUE(DecryptString(base64, "key bytes", plaintext));
  EXPECT_EQ(plaintext, bytes + std::string(3, '\0'));
  EXPECT_EQ(DecryptText(std::wstring(base64.begin(), base64.end()), L"key bytes"), L"a");
}

TEST(TextCipher, LongTextRoundTripsBlockByBlock) {
  std::wstring text;
  for (int i = 0; i < 50; ++i) text += L"壁纸 wallpaper " + std::to_wstring(i) + L"; ";
  const std::wstring base64 = EncryptText(text, L"机器标识");
  ASSERT_FALSE(base64.empty());
  EXPECT_EQ(base64.size() % 4, 0u);
  EXPECT_EQ(DecryptText(base64, L"机器标识"), text);
  // Another key does not give the text back.
  EXPECT_NE(DecryptText(base64, L"机器标识2"), text);
}

TEST(TextCipher, DecryptStringReturnsAsManyBytesAsTheInputDecodesTo) {
  // Four decoded bytes: less than a block, deciphered with a zero-filled
  // block and cut back to four.
  std::string plaintext;
  ASSERT_TRUE(DecryptString("AAAAAA==", "key", plaintext));
  EXPECT_EQ(plaintext.size(), 4u);
}

}  // namespace
