#pragma once
#include <cstddef>
#include <string>

namespace lumo {

// Standard alphabet (A-Z, a-z, 0-9, "+", "/") with "=" padding, no line breaks.
std::string Base64Encode(const void* data, size_t size);
std::string Base64Encode(const std::string& bytes);

// Strict: the length must be a multiple of 4, "=" may only be the last one or
// two characters, and any other character outside the alphabet fails the
// whole text. An empty text decodes to nothing. bytes is left as it was on
// failure.
bool Base64Decode(const std::string& text, std::string& bytes);

}  // namespace lumo
