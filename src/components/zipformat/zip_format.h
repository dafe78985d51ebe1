// Byte layout of the ZIP structures the setup reads and writes (published ZIP format,
// little-endian), free of Win32 so it is unit-tested and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zipfmt {

constexpr uint32_t kLocalHeaderSig = 0x04034B50;
constexpr uint32_t kCentralHeaderSig = 0x02014B50;
constexpr uint32_t kEndRecordSig = 0x06054B50;
constexpr uint32_t kSpanMarkerSig = 0x08074B50;  // start of part 0; also data descriptor signature

constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kDataDescriptorSize = 16;  // signature, CRC-32, compressed and uncompressed size
constexpr size_t kMaxCommentLength = 0xFFFF;
constexpr size_t kEndSearchWindow = kEndRecordSize + kMaxCommentLength;  // 65557

constexpr uint16_t kFlagEncrypted = 1u << 0;
constexpr uint16_t kFlagDataDescriptor = 1u << 3;

inline uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Appending little-endian fields and names to an archive being written.
inline void Append16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
inline void Append32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
inline void AppendText(std::vector<uint8_t>& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

// Offsets inside the 30-byte local file header.
namespace local {
constexpr size_t kFlags = 6, kMethod = 8, kTime = 10, kDate = 12, kCrc = 14, kCompSize = 18, kUncompSize = 22,
                 kNameLen = 26, kExtraLen = 28;
}

// Offsets inside the 46-byte central file header.
namespace central {
constexpr size_t kVersionMadeBy = 4, kVersionNeeded = 6, kFlags = 8, kMethod = 10, kTime = 12, kDate = 14, kCrc = 16,
                 kCompSize = 20, kUncompSize = 24, kNameLen = 28, kExtraLen = 30, kCommentLen = 32, kDiskStart = 34,
                 kInternalAttr = 36, kExternalAttr = 38, kLocalOffset = 42;
}

// The 22-byte end-of-central-directory record.
struct EndRecord {
  uint16_t thisDisk = 0;
  uint16_t directoryDisk = 0;
  uint16_t entriesOnDisk = 0;
  uint16_t totalEntries = 0;
  uint32_t directorySize = 0;
  uint32_t directoryOffset = 0;
  uint16_t commentLength = 0;

  static EndRecord Parse(const uint8_t* p);  // p points at the signature
  void Write(uint8_t* p) const;              // writes all 22 bytes
};

// Where the end record stands and what follows it, found in the tail of an archive file.
struct EndRecordLocation {
  bool found = false;
  uint64_t recordOffset = 0;  // file offset of the signature
  EndRecord record;
  std::string comment;  // the archive comment as stored (may be cut at end of file)
  // Bytes after the record and its stated comment; negative when the comment runs past the end.
  int64_t trailingBytes = 0;
  bool trailingIsPadding = false;  // file size multiple of 512, under 512 extra, all zero
};

// Searches the end record. `tail` holds the last `tailLength` bytes of a file of `fileSize`
// bytes (callers pass min(fileSize, kEndSearchWindow) bytes). First the last 22 bytes are
// tried, then a backwards search for "PK\5\6" starting 23 bytes before the end.
EndRecordLocation FindEndRecord(const uint8_t* tail, size_t tailLength, uint64_t fileSize);

}  // namespace zipfmt
