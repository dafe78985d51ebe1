// Which directory texts are converted from the OEM to the ANSI code page, and the
// conversion itself with the byte mapping supplied by the caller (OemToCharBuffA on Windows).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "zip_types.h"

namespace zipfmt {

// Host systems of the version-made-by field whose archives store OEM names.
constexpr uint8_t kHostFat = 0;
constexpr uint8_t kHostHpfs = 6;
constexpr uint8_t kHostNtfs = 11;

// Bit 11 of the general-purpose flags: the entry's name and comment are stored in UTF-8.
constexpr uint16_t kFlagUtf8 = 1u << 11;

// cpOEM always converts and cpNone never; cpAuto converts names written on FAT or HPFS, and on
// NTFS by writers of specification version 5.0.
bool UsesOemText(CodePageOpts codePage, uint8_t hostSystem, uint8_t specVersion);

enum class TextEncoding { kAnsi, kOem, kUtf8 };

// What decides how an entry's name is decoded, from its central header.
struct ZipNameInfo {
  std::string storedName;
  std::string extraField;  // the central header's extra field
  uint16_t flags = 0;
  uint8_t hostSystem = 0;   // high byte of version made by
  uint8_t specVersion = 0;  // low byte of version made by
};

// How an entry's texts are stored: in UTF-8 when its flags say so, otherwise in the OEM code
// page where UsesOemText says so, else in the ANSI code page.
TextEncoding StoredTextEncoding(CodePageOpts codePage, uint16_t flags, uint8_t hostSystem, uint8_t specVersion);

// The Info-ZIP Unicode Path extra field: version 1, the CRC-32 of the stored name, then the
// name in UTF-8. Writers add it to a name stored in a code page.
constexpr uint16_t kUnicodePathTag = 0x7075;

// The UTF-8 name of the Unicode Path field in an entry's extra field, or empty when there is
// none, its version is not 1, or its CRC-32 is not that of `storedName` (a tool renamed the
// entry without updating the field: the stored name is the current one).
std::string UnicodePathName(const std::string& extraField, const std::string& storedName);

struct EntryText {
  std::string text;
  TextEncoding encoding;
};

// An entry's name as its archive means it: the Unicode Path field's name when there is a
// valid one, else the stored name in the encoding that StoredTextEncoding gives.
EntryText EntryName(CodePageOpts codePage, const ZipNameInfo& entry);

// Bytes below 0x80 stay; each byte from 0x80 up is replaced by `convertByte` of it.
std::string ConvertHighBytes(const std::string& text, const std::function<char(char)>& convertByte);

// Every "/" becomes "\".
std::string ToBackslashes(std::string path);

}  // namespace zipfmt
