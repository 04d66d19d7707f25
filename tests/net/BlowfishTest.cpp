#include "net/Blowfish.h"

#include <gtest/gtest.h>

#include "net/HexBytes.h"

namespace {

using lumo::Blowfish;

struct BlockCase {
  const char* key;
  const char* plain;
  const char* cipher;
};

std::string Encrypt(const std::string& key, std::string block) {
  auto cipher = Blowfish::Create(key.data(), key.size());
  if (!cipher) return "no cipher";
  cipher->EncryptEcb(&block[0], block.size());
  return block;
}

class BlowfishVectors : public ::testing::TestWithParam<BlockCase> {};

TEST_P(BlowfishVectors, EnciphersAndDeciphersThePublishedBlock) {
  const std::string key = HexBytes(GetParam().key);
  const std::string plain = HexBytes(GetParam().plain);
  const std::string expected = HexBytes(GetParam().cipher);

  auto cipher = Blowfish::Create(key.data(), key.size());
  ASSERT_TRUE(cipher);
  std::string block = plain;
  cipher->EncryptEcb(&block[0], block.size());
  EXPECT_EQ(block, expected);
  cipher->DecryptEcb(&block[0], block.size());
  EXPECT_EQ(block, plain);
}

// Eric Young's ECB table as published with Blowfish: key, clear, cipher bytes.
INSTANTIATE_TEST_SUITE_P(
    EcbTable, BlowfishVectors,
    ::testing::Values(BlockCase{"0000000000000000", "0000000000000000", "4EF997456198DD78"},
                      BlockCase{"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
                      BlockCase{"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
                      BlockCase{"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
                      BlockCase{"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
                      BlockCase{"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
                      BlockCase{"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
                      BlockCase{"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
                      BlockCase{"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
                      BlockCase{"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
                      BlockCase{"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
                      BlockCase{"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
                      BlockCase{"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
                      BlockCase{"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
                      BlockCase{"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
                      BlockCase{"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
                      BlockCase{"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
                      BlockCase{"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
                      BlockCase{"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
                      BlockCase{"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
                      BlockCase{"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
                      BlockCase{"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"}));

// The same author's key-length table: leading bytes of one key, one block.
INSTANTIATE_TEST_SUITE_P(
    KeyLengthTable, BlowfishVectors,
    ::testing::Values(BlockCase{"F0", "FEDCBA9876543210", "F9AD597C49DB005E"},
                      BlockCase{"F0E1D2", "FEDCBA9876543210", "E9C2B70A1BC65CF3"},
                      BlockCase{"F0E1D2C3B4A59687", "FEDCBA9876543210", "E87A244E2CC85E82"},
                      BlockCase{"F0E1D2C3B4A5968778", "FEDCBA9876543210", "15750E7A4F4EC577"},
                      BlockCase{"F0E1D2C3B4A5968778695A4B3C2D1E", "FEDCBA9876543210", "79D9373A714CA34F"},
                      BlockCase{"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677", "FEDCBA9876543210",
                                "05044B62FA52D080"}));

TEST(Blowfish, RefusesAnEmptyKey) {
  EXPECT_FALSE(Blowfish::Create("", 0));
  EXPECT_FALSE(Blowfish::Create(nullptr, 8));
}

TEST(Blowfish, OnlyTheFirst72KeyBytesTakeEffect) {
  const std::string block = HexBytes("0123456789ABCDEF");
  std::string key(72, '\0');
  for (size_t i = 0; i < key.size(); ++i) key[i] = char(i * 37 + 11);

  const std::string base = Encrypt(key, block);
  EXPECT_EQ(Encrypt(key + "tail bytes", block), base);
  std::string lastByteChanged = key;
  lastByteChanged[71] ^= 1;
  EXPECT_NE(Encrypt(lastByteChanged, block), base);
}

TEST(Blowfish, EcbEnciphersEachBlockAloneAndLeavesAPartialTail) {
  const std::string key = HexBytes("FEDCBA9876543210");
  const std::string block = HexBytes("0123456789ABCDEF");
  const std::string tail = "xyz";

  const std::string out = Encrypt(key, block + block + tail);
  const std::string expected = HexBytes("0ACEAB0FC6A0A28D");
  EXPECT_EQ(out, expected + expected + tail);
}

}  // namespace
