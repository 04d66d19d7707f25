#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace lumo {

// MD5 (RFC 1321). Used to derive machine identifiers, not for security.
std::array<uint8_t, 16> Md5Digest(const void* data, size_t size);
// The digest as 32 lowercase hexadecimal characters.
std::string Md5Hex(const std::string& bytes);

}  // namespace lumo
