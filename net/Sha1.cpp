#include "net/Sha1.h"

#include "net/DigestBlocks.h"
#include "net/HexText.h"

namespace lumo {

namespace {

using digest::RotateLeft;

void Compress(uint32_t state[5], const uint8_t block[64]) {
  uint32_t w[80];
  for (int i = 0; i < 16; ++i) {
    w[i] = (uint32_t(block[i * 4]) << 24) | (uint32_t(block[i * 4 + 1]) << 16) |
           (uint32_t(block[i * 4 + 2]) << 8) | uint32_t(block[i * 4 + 3]);
  }
  for (int i = 16; i < 80; ++i) w[i] = RotateLeft(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);

  uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
  for (int i = 0; i < 80; ++i) {
    uint32_t f, k;
    if (i < 20) {
      f = (b & c) | (~b & d);
      k = 0x5a827999;
    } else if (i < 40) {
      f = b ^ c ^ d;
      k = 0x6ed9eba1;
    } else if (i < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8f1bbcdc;
    } else {
      f = b ^ c ^ d;
      k = 0xca62c1d6;
    }
    const uint32_t next = RotateLeft(a, 5) + f + e + k + w[i];
    e = d;
    d = c;
    c = RotateLeft(b, 30);
    b = a;
    a = next;
  }
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  state[4] += e;
}

}  // namespace

std::array<uint8_t, 20> Sha1Digest(const void* data, size_t size) {
  uint32_t state[5] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};
  digest::FeedPaddedBlocks(data, size, digest::LengthOrder::kBigEndian,
                           [&state](const uint8_t* block) { Compress(state, block); });

  std::array<uint8_t, 20> digest;
  for (int i = 0; i < 20; ++i) digest[i] = uint8_t(state[i / 4] >> (24 - 8 * (i % 4)));
  return digest;
}

std::string Sha1Hex(const std::string& bytes) {
  const auto digest = Sha1Digest(bytes.data(), bytes.size());
  return LowerHex(digest.data(), digest.size());
}

}  // namespace lumo
