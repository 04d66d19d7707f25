#include "net/Base64.h"

#include <gtest/gtest.h>

namespace {

struct Vector {
  const char* bytes;
  const char* text;
};

class Base64Vectors : public ::testing::TestWithParam<Vector> {};

TEST_P(Base64Vectors, EncodesAndDecodes) {
  EXPECT_EQ(lumo::Base64Encode(std::string(GetParam().bytes)), GetParam().text);
  std::string decoded = "stale";
  ASSERT_TRUE(lumo::Base64Decode(GetParam().text, decoded));
  EXPECT_EQ(decoded, GetParam().bytes);
}

// RFC 4648, section 10.
INSTANTIATE_TEST_SUITE_P(Rfc4648, Base64Vectors,
                         ::testing::Values(Vector{"", ""}, Vector{"f", "Zg=="}, Vector{"fo", "Zm8="},
                                           Vector{"foo", "Zm9v"}, Vector{"foob", "Zm9vYg=="},
                                           Vector{"fooba", "Zm9vYmE="}, Vector{"foobar", "Zm9vYmFy"}));

TEST(Base64, EveryByteValueRoundTripsThroughTheWholeAlphabet) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += char(i);
  const std::string text = lumo::Base64Encode(bytes);
  EXPECT_EQ(text.size(), 344u);  // 4 * ceil(256 / 3)
  EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
            std::string::npos);
  EXPECT_NE(text.find('+'), std::string::npos);
  EXPECT_NE(text.find('/'), std::string::npos);

  std::string decoded;
  ASSERT_TRUE(lumo::Base64Decode(text, decoded));
  EXPECT_EQ(decoded, bytes);
}

class Base64Rejects : public ::testing::TestWithParam<const char*> {};

TEST_P(Base64Rejects, FailsTheWholeTextAndKeepsTheOutput) {
  std::string decoded = "untouched";
  EXPECT_FALSE(lumo::Base64Decode(GetParam(), decoded));
  EXPECT_EQ(decoded, "untouched");
}

INSTANTIATE_TEST_SUITE_P(
    Strict, Base64Rejects,
    ::testing::Values(
        // The URL-safe alphabet is not accepted.
        "-A==", "Zm9v-mFy", "_A==", "Zm9v_mFy",
        // "=" anywhere but the last one or two places.
        "=m9v", "Zm=v", "Zg=a", "Zg==Zg==", "A===", "====", "Zm9vYmFy====",
        // Lengths that are not a multiple of 4 (unpadded text included).
        "Z", "Zm", "Zm9", "Zg", "Zm8", "Zm9vY", "Zm9vYg", "Zm9vYg=",
        // Blanks, line breaks and non-ASCII bytes.
        "Zm9 ", "Zm9v\r\nYmFy", "Zm\xC3\xA9"));

}  // namespace
