#include <gtest/gtest.h>

#include "net/Md5.h"
#include "net/Sha1.h"

namespace {

struct DigestCase {
  std::string message;
  const char* hex;
};

class Md5Vectors : public ::testing::TestWithParam<DigestCase> {};

TEST_P(Md5Vectors, GivesLowercaseHex) { EXPECT_EQ(lumo::Md5Hex(GetParam().message), GetParam().hex); }

// RFC 1321, appendix A.5.
INSTANTIATE_TEST_SUITE_P(
    Rfc1321, Md5Vectors,
    ::testing::Values(
        DigestCase{"", "d41d8cd98f00b204e9800998ecf8427e"},
        DigestCase{"a", "0cc175b9c0f1b6a831c399e269772661"},
        DigestCase{"abc", "900150983cd24fb0d6963f7d28e17f72"},
        DigestCase{"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        DigestCase{"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        DigestCase{"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
                   "d174ab98d277d9f5a5611c2c9f419d9f"},
        DigestCase{"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
                   "57edf4a22be3c955ac49da2e2107b67a"}));

class Sha1Vectors : public ::testing::TestWithParam<DigestCase> {};

TEST_P(Sha1Vectors, GivesLowercaseHex) { EXPECT_EQ(lumo::Sha1Hex(GetParam().message), GetParam().hex); }

// FIPS 180 examples: one block, two blocks and the million "a".
INSTANTIATE_TEST_SUITE_P(
    Fips180, Sha1Vectors,
    ::testing::Values(DigestCase{"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
                      DigestCase{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                                 "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
                      DigestCase{std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
                      DigestCase{"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"}));

// Lengths around the 56- and 64-byte marks, where the padding needs a second
// block; the digests come from an independent implementation.
struct BoundaryCase {
  size_t length;
  const char* md5;
  const char* sha1;
};

class DigestPaddingBoundaries : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(DigestPaddingBoundaries, MatchReferenceDigests) {
  std::string message;
  for (size_t i = 0; i < GetParam().length; ++i) message += char(i * 7 + 1);
  EXPECT_EQ(lumo::Md5Hex(message), GetParam().md5);
  EXPECT_EQ(lumo::Sha1Hex(message), GetParam().sha1);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, DigestPaddingBoundaries,
    ::testing::Values(
        BoundaryCase{55, "8c3eb046bcdb1f0ffe75fdbaf890cf13", "04bb34aef4880b625e6b1564a014abd25fc02bfe"},
        BoundaryCase{56, "d5e0fa3122448ddd3d843a9c5ed9e839", "83b9fcb6d3e3b20f376ab989a1b6353bcc6c0f44"},
        BoundaryCase{63, "1dd0d6ddeb881b118518c2881555f34b", "ab15090e8dbe512f3733350f9623ab11f9b5165b"},
        BoundaryCase{64, "7b412e00d38c31b0845a4f502d39d5e3", "54305ee7e4c7bc5a96afc6d1994fc52d9bcb665f"},
        BoundaryCase{65, "ba03b626aceb7b09c86c2d544afe1dce", "5985422a25357371ebd2a7f6ecd7eebed43db42c"},
        BoundaryCase{119, "dac58560b386c3d5b29ebbdec5197e10", "6839d6c27f22ed884ac43ae6bd3bfcee9e04b938"},
        BoundaryCase{120, "6818845a0494b5fade3155f6a8e47b15", "8c40517a14ab8b78fd4b8958f4e31254a34c3fb0"}));

}  // namespace
