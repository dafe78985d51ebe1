#include "name_conversion.h"

#include <zlib.h>

#include <algorithm>

#include "zip_format.h"

namespace zipfmt {

bool UsesOemText(CodePageOpts codePage, uint8_t hostSystem, uint8_t specVersion) {
  switch (codePage) {
    case cpOEM: return true;
    case cpNone: return false;
    case cpAuto: break;
  }
  return hostSystem == kHostFat || hostSystem == kHostHpfs || (hostSystem == kHostNtfs && specVersion == 50);
}

TextEncoding StoredTextEncoding(CodePageOpts codePage, uint16_t flags, uint8_t hostSystem, uint8_t specVersion) {
  if ((flags & kFlagUtf8) != 0) return TextEncoding::kUtf8;
  return UsesOemText(codePage, hostSystem, specVersion) ? TextEncoding::kOem : TextEncoding::kAnsi;
}

std::string UnicodePathName(const std::string& extraField, const std::string& storedName) {
  constexpr size_t kBlockHead = 4, kFieldHead = 5;  // tag and size; version and CRC-32
  const auto* bytes = reinterpret_cast<const uint8_t*>(extraField.data());
  size_t at = 0;
  while (extraField.size() - at >= kBlockHead) {
    const uint16_t tag = zipfmt::Get16(bytes + at);
    const size_t size = zipfmt::Get16(bytes + at + 2);
    at += kBlockHead;
    if (size > extraField.size() - at) break;
    if (tag == kUnicodePathTag && size > kFieldHead && bytes[at] == 1) {
      const uint32_t nameCrc =
          uint32_t(crc32(0, reinterpret_cast<const Bytef*>(storedName.data()), uInt(storedName.size())));
      if (zipfmt::Get32(bytes + at + 1) == nameCrc) return extraField.substr(at + kFieldHead, size - kFieldHead);
    }
    at += size;
  }
  return std::string();
}

EntryText EntryName(CodePageOpts codePage, const ZipNameInfo& entry) {
  std::string unicodeName = UnicodePathName(entry.extraField, entry.storedName);
  if (!unicodeName.empty()) return {std::move(unicodeName), TextEncoding::kUtf8};
  return {entry.storedName, StoredTextEncoding(codePage, entry.flags, entry.hostSystem, entry.specVersion)};
}

std::string ConvertHighBytes(const std::string& text, const std::function<char(char)>& convertByte) {
  std::string out = text;
  for (char& c : out)
    if (static_cast<unsigned char>(c) >= 0x80) c = convertByte(c);
  return out;
}

std::string ToBackslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

}  // namespace zipfmt
