#pragma once
#include <string>

// "0123AB" -> the bytes 01 23 AB; the test tables are written in hex.
inline std::string HexBytes(const std::string& hex) {
  auto nibble = [](char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
  };
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += char(nibble(hex[i]) * 16 + nibble(hex[i + 1]));
  return bytes;
}
