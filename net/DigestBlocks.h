#pragma once
// What MD5 and SHA-1 share: 64-byte blocks, and a tail of the leftover
// bytes, a 0x80 marker, zeros and the message length in bits filling one or
// two final blocks. They differ only in the byte order of that length.
#include <cstddef>
#include <cstdint>

namespace lumo::digest {

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

enum class LengthOrder { kLittleEndian, kBigEndian };

// Calls compress(block) for every 64-byte block of the padded message.
template <typename Compress>
void FeedPaddedBlocks(const void* data, size_t size, LengthOrder order, Compress compress) {
  const auto* in = static_cast<const uint8_t*>(data);
  size_t offset = 0;
  for (; offset + 64 <= size; offset += 64) compress(in + offset);

  uint8_t tail[128] = {};
  const size_t rest = size - offset;
  for (size_t i = 0; i < rest; ++i) tail[i] = in[offset + i];
  tail[rest] = 0x80;
  const size_t tailSize = rest < 56 ? 64 : 128;
  const uint64_t bits = uint64_t(size) * 8;
  for (int i = 0; i < 8; ++i) {
    const size_t at = order == LengthOrder::kLittleEndian ? tailSize - 8 + i : tailSize - 1 - i;
    tail[at] = uint8_t(bits >> (8 * i));
  }
  for (size_t block = 0; block < tailSize; block += 64) compress(tail + block);
}

}  // namespace lumo::digest
