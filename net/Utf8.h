#pragma once
#include <string>

namespace lumo {

// UTF-16 <-> UTF-8. Ill-formed input is converted with replacement
// characters; an empty result means empty input or a conversion failure.
std::string Utf8FromWide(const std::wstring& text);
std::wstring WideFromUtf8(const std::string& text);

}  // namespace lumo
