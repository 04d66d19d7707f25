#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace lumo {

// Blowfish with 16 rounds over 64-bit blocks whose two halves are read and
// written big-endian. Every user makes its own keyed instance and drops it
// afterwards; nothing is shared between calls.
class Blowfish {
 public:
  static constexpr size_t kBlockSize = 8;
  static constexpr size_t kMaxEffectiveKeyBytes = 72;  // 18 subkeys of 4 bytes

  // A keyed instance, or null for an empty key or when memory runs out.
  // Key bytes past the 72nd have no effect.
  static std::unique_ptr<Blowfish> Create(const void* key, size_t keySize);

  Blowfish(const Blowfish&) = delete;
  Blowfish& operator=(const Blowfish&) = delete;

  void EncryptBlock(uint32_t& left, uint32_t& right) const;
  void DecryptBlock(uint32_t& left, uint32_t& right) const;

  // Electronic code book over whole blocks, in place; a trailing partial
  // block is left untouched, so callers pad first.
  void EncryptEcb(void* data, size_t size) const;
  void DecryptEcb(void* data, size_t size) const;

 private:
  Blowfish();
  void ApplyKey(const uint8_t* key, size_t keySize);
  uint32_t Round(uint32_t x) const;

  uint32_t p_[18];
  uint32_t s_[4][256];
};

}  // namespace lumo
