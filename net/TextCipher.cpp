#include "net/TextCipher.h"

#include <cstring>
#include <new>

#include "net/Base64.h"
#include "net/Blowfish.h"
#include "net/Utf8.h"

namespace lumo {

namespace {

size_t RoundUpToBlock(size_t size) {
  return (size + Blowfish::kBlockSize - 1) / Blowfish::kBlockSize * Blowfish::kBlockSize;
}

}  // namespace

bool EncryptString(const std::string& plaintext, const std::string& key, std::string& base64) {
  if (plaintext.empty()) return false;
  try {
    const auto cipher = Blowfish::Create(key.data(), key.size());
    if (!cipher) return false;
    std::string buffer(plaintext);
    buffer.resize(RoundUpToBlock(plaintext.size()), '\0');
    cipher->EncryptEcb(&buffer[0], buffer.size());
    base64 = Base64Encode(buffer);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool DecryptString(const std::string& base64, const std::string& key, std::string& plaintext) {
  if (base64.empty()) return false;
  try {
    std::string decoded;
    if (!Base64Decode(base64, decoded)) return false;
    const auto cipher = Blowfish::Create(key.data(), key.size());
    if (!cipher) return false;
    // A decoded length off the block size is deciphered with a zero-filled
    // last block and cut back afterwards.
    const size_t length = decoded.size();
    decoded.resize(RoundUpToBlock(length), '\0');
    cipher->DecryptEcb(&decoded[0], decoded.size());
    decoded.resize(length);
    plaintext.swap(decoded);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

std::wstring EncryptText(const std::wstring& plaintext, const std::wstring& key) {
  try {
    std::string base64;
    if (!EncryptString(Utf8FromWide(plaintext), Utf8FromWide(key), base64)) return std::wstring();
    // Base64 is plain ASCII, so widening is a straight copy.
    return std::wstring(base64.begin(), base64.end());
  } catch (const std::bad_alloc&) {
    return std::wstring();
  }
}

std::wstring DecryptText(const std::wstring& base64, const std::wstring& key) {
  try {
    std::string plaintext;
    if (!DecryptString(Utf8FromWide(base64), Utf8FromWide(key), plaintext)) return std::wstring();
    plaintext.resize(std::strlen(plaintext.c_str()));
    return WideFromUtf8(plaintext);
  } catch (const std::bad_alloc&) {
    return std::wstring();
  }
}

}  // namespace lumo
