// The unzip library's callback record as the component reads it, and the run-time password
// placeholder. Free of Win32, so both are tested natively.
#pragma once

#include <cstdint>
#include <string>

namespace zipcore {

struct CallbackEvent {
  uint32_t caller = 0;
  int32_t action = 0;
  int32_t errorCode = 0;
  int32_t size = 0;
  std::string text;  // up to the first zero byte of the 512-byte field
};

// Reads the fields of a record of unzipabi::record::kRecordSize bytes.
CallbackEvent DecodeCallbackRecord(const uint8_t* record);

// A library message as the component reports it: trailing blanks and control characters
// removed, "/" replaced by "\".
std::string CleanLibraryMessage(std::string text);

// The 79-character password given to the library when an unattended run encrypts without a
// password of its own.
std::string PasswordPlaceholder();

}  // namespace zipcore
