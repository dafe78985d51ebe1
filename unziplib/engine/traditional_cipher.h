// The traditional ZIP encryption: three 32-bit keys stirred by the password and by every
// plain byte, and a 12-byte header in front of each encrypted member's data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace unzip {

constexpr size_t kEncryptionHeaderSize = 12;

class TraditionalCipher {
 public:
  explicit TraditionalCipher(const std::string& password);

  void Decrypt(uint8_t* data, size_t length);
  void Encrypt(uint8_t* data, size_t length);

 private:
  uint8_t KeyByte() const;
  void Update(uint8_t plain);

  uint32_t keys_[3];
};

// Decrypts the 12-byte header in place and checks its last byte against the byte the writer
// put there: the high byte of the CRC, or with a data descriptor the high byte of the time
// (writers differ, so both are accepted then). A wrong password passes this check about once
// in 256 (twice with a data descriptor); the CRC catches it afterwards.
bool DecryptHeader(TraditionalCipher& cipher, uint8_t* header, uint32_t crc, uint16_t dosTime, bool hasDataDescriptor);

}  // namespace unzip
