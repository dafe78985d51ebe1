// Which directory texts are converted from the OEM to the ANSI code page, and the
// conversion itself with the byte mapping supplied by the caller (OemToCharBuffA on Windows).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "zip_types.h"

namespace zipcore {

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

// How an entry's texts are stored: in UTF-8 when its flags say so, otherwise in the OEM code
// page where UsesOemText says so, else in the ANSI code page.
TextEncoding StoredTextEncoding(CodePageOpts codePage, uint16_t flags, uint8_t hostSystem,
                                uint8_t specVersion);

// Bytes below 0x80 stay; each byte from 0x80 up is replaced by `convertByte` of it.
std::string ConvertHighBytes(const std::string& text, const std::function<char(char)>& convertByte);

// Every "/" becomes "\".
std::string ToBackslashes(std::string path);

}  // namespace zipcore
