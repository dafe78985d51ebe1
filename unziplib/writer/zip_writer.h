// Writes ZIP archives for installation media: deflated members (stored when deflating does
// not make them smaller), CRC-32, MS-DOS times, UTF-8 names flagged as such, and optionally
// a multi-part set that the setup's join reads. The same members in the same order give the
// same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "zip_format.h"
#include "zip_parts.h"

namespace zipwrite {

using zipfmt::Bytes;

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint16_t kFlagUtf8Name = 1u << 11;

struct DosStamp {
  uint16_t date = 0x0021;  // 1980-01-01
  uint16_t time = 0;
};

// The MS-DOS stamp of a time: local time, or UTC when `utc` is set. Times before 1980 become
// 1980-01-01 00:00:00, times after 2107 the last stamp.
DosStamp ToDosStamp(std::time_t when, bool utc);

struct FileEntry {
  // Below the archive root, "/" separators, UTF-8. A name ending in "/" is a folder entry,
  // without data, as `zip -r` stores a folder.
  std::string name;
  Bytes data;
  DosStamp modified;
};

struct WrittenMember {
  std::string name;
  uint16_t method = kMethodStored;
  uint32_t crc = 0;
  uint32_t size = 0;
  uint32_t compressedSize = 0;
};

struct WrittenArchive {
  // One archive, or the parts of a set in disk order (the first starts with the spanning
  // marker, the last holds the central directory's end record).
  std::vector<Bytes> parts;
  std::vector<WrittenMember> members;  // in archive order
};

// Members, sizes or counts that the format without ZIP64 cannot hold; a part size too small
// for a header.
class WriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Smallest part size; a part must also hold the longest header with its name.
constexpr uint64_t kMinPartSize = 1024;

// Writes the files in the order given. With `partSize` 0, or when the archive fits into one
// part, the result is one ordinary archive; else a set whose parts hold at most `partSize`
// bytes each, cut so that no header and no end record is split (member data may continue
// on the next part). `packed`, when given, learns of each member once it is compressed.
// Throws WriteError.
WrittenArchive WriteArchive(const std::vector<FileEntry>& files, uint64_t partSize,
                            const std::function<void(const WrittenMember&)>& packed = nullptr);

// Raw deflate (no zlib header) at the best compression.
Bytes Deflate(const Bytes& data);

uint32_t Crc32(const Bytes& data);

}  // namespace zipwrite
