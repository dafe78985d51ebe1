#include "name_conversion.h"

#include <algorithm>

namespace zipcore {

bool UsesOemText(CodePageOpts codePage, uint8_t hostSystem, uint8_t specVersion) {
  switch (codePage) {
    case cpOEM: return true;
    case cpNone: return false;
    case cpAuto: break;
  }
  return hostSystem == kHostFat || hostSystem == kHostHpfs ||
         (hostSystem == kHostNtfs && specVersion == 50);
}

TextEncoding StoredTextEncoding(CodePageOpts codePage, uint16_t flags, uint8_t hostSystem,
                                uint8_t specVersion) {
  if ((flags & kFlagUtf8) != 0) return TextEncoding::kUtf8;
  return UsesOemText(codePage, hostSystem, specVersion) ? TextEncoding::kOem : TextEncoding::kAnsi;
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

}  // namespace zipcore
