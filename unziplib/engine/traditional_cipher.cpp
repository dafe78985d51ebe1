#include "traditional_cipher.h"

#include <zlib.h>

namespace unzip {

namespace {

uint32_t Crc32Byte(uint32_t crc, uint8_t b) {
  static const z_crc_t* const table = get_crc_table();
  return table[(crc ^ b) & 0xFF] ^ (crc >> 8);
}

}  // namespace

TraditionalCipher::TraditionalCipher(const std::string& password) : keys_{0x12345678, 0x23456789, 0x34567890} {
  for (char c : password) Update(uint8_t(c));
}

uint8_t TraditionalCipher::KeyByte() const {
  const uint32_t t = (keys_[2] | 2) & 0xFFFF;  // unsigned: the product needs 32 bits
  return uint8_t((t * (t ^ 1)) >> 8);
}

void TraditionalCipher::Update(uint8_t plain) {
  keys_[0] = Crc32Byte(keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
  keys_[2] = Crc32Byte(keys_[2], uint8_t(keys_[1] >> 24));
}

void TraditionalCipher::Decrypt(uint8_t* data, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    data[i] ^= KeyByte();
    Update(data[i]);
  }
}

void TraditionalCipher::Encrypt(uint8_t* data, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    const uint8_t plain = data[i];
    data[i] ^= KeyByte();
    Update(plain);
  }
}

bool DecryptHeader(TraditionalCipher& cipher, uint8_t* header, uint32_t crc, uint16_t dosTime, bool hasDataDescriptor) {
  cipher.Decrypt(header, kEncryptionHeaderSize);
  const uint8_t check = header[kEncryptionHeaderSize - 1];
  if (check == uint8_t(crc >> 24)) return true;
  return hasDataDescriptor && check == uint8_t(dosTime >> 8);
}

}  // namespace unzip
