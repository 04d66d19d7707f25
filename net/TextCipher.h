#pragma once
#include <string>

namespace lumo {

// The text cipher for short texts that leave the process (command line,
// report service, stored tokens, registry): Blowfish in ECB mode under a
// byte key, the plaintext zero-padded to whole blocks, the result in Base64.

// False for an empty plaintext, an empty key or when memory runs out;
// base64 is only written on success.
bool EncryptString(const std::string& plaintext, const std::string& key, std::string& base64);
// False for an empty input, an empty key, text that is not Base64 or when
// memory runs out. The result keeps every deciphered byte, padding zeros
// included, and is as long as the decoded input.
bool DecryptString(const std::string& base64, const std::string& key, std::string& plaintext);

// The same over UTF-16 text; plaintext and key travel as UTF-8. The result
// is empty on any failure, which callers treat as a missing value.
std::wstring EncryptText(const std::wstring& plaintext, const std::wstring& key);
// The deciphered text ends at its first zero byte, which drops the padding.
std::wstring DecryptText(const std::wstring& base64, const std::wstring& key);

}  // namespace lumo
