#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace lumo {

// Lowercase hexadecimal, two characters per byte, as the digests are written.
std::string LowerHex(const uint8_t* bytes, size_t size);

}  // namespace lumo
