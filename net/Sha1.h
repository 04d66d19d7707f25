#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace lumo {

// SHA-1 (FIPS 180-4). Used to derive machine identifiers, not for security.
std::array<uint8_t, 20> Sha1Digest(const void* data, size_t size);
// The digest as 40 lowercase hexadecimal characters.
std::string Sha1Hex(const std::string& bytes);

}  // namespace lumo
