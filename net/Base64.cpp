#include "net/Base64.h"

#include <cstdint>

namespace lumo {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of an alphabet character, or -1.
int SextetOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string Base64Encode(const void* data, size_t size) {
  const auto* in = static_cast<const uint8_t*>(data);
  std::string out;
  out.reserve((size + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const uint32_t group = (uint32_t(in[i]) << 16) | (uint32_t(in[i + 1]) << 8) | in[i + 2];
    out += kAlphabet[group >> 18];
    out += kAlphabet[(group >> 12) & 0x3F];
    out += kAlphabet[(group >> 6) & 0x3F];
    out += kAlphabet[group & 0x3F];
  }
  const size_t rest = size - i;
  if (rest > 0) {
    uint32_t group = uint32_t(in[i]) << 16;
    if (rest == 2) group |= uint32_t(in[i + 1]) << 8;
    out += kAlphabet[group >> 18];
    out += kAlphabet[(group >> 12) & 0x3F];
    out += rest == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=';
    out += '=';
  }
  return out;
}

std::string Base64Encode(const std::string& bytes) {
  return Base64Encode(bytes.data(), bytes.size());
}

bool Base64Decode(const std::string& text, std::string& bytes) {
  if (text.empty()) {
    bytes.clear();
    return true;
  }
  if (text.size() % 4 != 0) return false;

  size_t length = text.size();
  if (text[length - 1] == '=') --length;
  if (text[length - 1] == '=') --length;

  std::string out;
  out.reserve(length / 4 * 3 + 2);
  uint32_t group = 0;
  int sextets = 0;
  for (size_t i = 0; i < length; ++i) {
    const int value = SextetOf(text[i]);
    if (value < 0) return false;  // also a "=" that is not at the very end
    group = (group << 6) | uint32_t(value);
    if (++sextets == 4) {
      out += char(group >> 16);
      out += char(group >> 8);
      out += char(group);
      group = 0;
      sextets = 0;
    }
  }
  // Dropping at most two "=" from a multiple of 4 leaves 2 or 3 sextets.
  if (sextets == 3) {
    out += char(group >> 10);
    out += char(group >> 2);
  } else if (sextets == 2) {
    out += char(group >> 4);
  }
  bytes.swap(out);
  return true;
}

}  // namespace lumo
