#include "callback_record.h"

#include <cstring>

#include "name_conversion.h"
#include "unzip_abi.h"

namespace zipcore {

CallbackEvent DecodeCallbackRecord(const uint8_t* record) {
  namespace r = unzipabi::record;
  CallbackEvent e;
  e.caller = uint32_t(unzipabi::GetI32(record + r::kCaller));
  e.action = unzipabi::GetI32(record + r::kAction);
  e.errorCode = unzipabi::GetI32(record + r::kErrorCode);
  e.size = unzipabi::GetI32(record + r::kSize);
  const char* text = reinterpret_cast<const char*>(record + r::kText);
  const void* zero = std::memchr(text, 0, r::kTextSize);
  e.text.assign(text, zero ? static_cast<const char*>(zero) : text + r::kTextSize);
  return e;
}

std::string CleanLibraryMessage(std::string text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
  return zipfmt::ToBackslashes(std::move(text));
}

std::string PasswordPlaceholder() {
  // Printable characters in a fixed scattered order, never the same text as a typed word.
  std::string password;
  for (int i = 0; i < 79; ++i) password += char('!' + (i * 37 + 11) % 94);
  return password;
}

}  // namespace zipcore
