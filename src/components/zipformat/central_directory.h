// Reading an archive's end record and central directory, free of Win32: the archive is read
// through DiskInput, so tests read from memory or files, the archive component reads through
// its drive-aware source and the unzip library's engine through its positioned reads.
// Failures are ZipError with the id of the component's message; warnings go to a callback as
// they arise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "zip_error.h"
#include "zip_format.h"

namespace zipfmt {

// The archive as the reader sees it: one disk (part) of a set is open at a time.
class DiskInput {
 public:
  virtual ~DiskInput() = default;
  virtual uint64_t Size() = 0;
  // Positions the open disk; false when `offset` lies beyond its end or seeking fails.
  virtual bool Seek(uint64_t offset) = 0;
  // Reads up to `size` bytes; fewer only at the end of the disk or on a read failure.
  virtual size_t Read(void* buffer, size_t size) = 0;
  // Opens disk `disk` (from 0) of a set whose last disk is `lastDisk`, at its start.
  // Throws when it cannot; a single file has no other disks.
  virtual void ChangeDisk(int disk, int lastDisk);
};

#pragma pack(push, 1)
// The central file header from its version-made-by field up to the local-header offset,
// byte for byte (little-endian, as on every target of the program).
struct ZipDirHeader {
  uint8_t specVersion;  // version made by: ZIP specification version
  uint8_t hostSystem;   // version made by: host system (0 FAT, 6 HPFS, 11 NTFS, ...)
  uint16_t versionNeeded;
  uint16_t flags;
  uint16_t compressionMethod;
  uint16_t modTime;  // MS-DOS time
  uint16_t modDate;  // MS-DOS date
  uint32_t crc32;
  uint32_t compressedSize;
  uint32_t uncompressedSize;
  uint16_t fileNameLength;
  uint16_t extraFieldLength;
  uint16_t fileCommentLength;
  uint16_t diskNumberStart;
  uint16_t internalAttributes;
  uint32_t externalAttributes;
  uint32_t localHeaderOffset;
};
#pragma pack(pop)
static_assert(sizeof(ZipDirHeader) == 42, "the header copy is 42 bytes");

// One central-directory entry: the header copy, then name and comment; the extra field
// stays for the name's decoding.
struct ZipDirEntry : ZipDirHeader {
  std::string fileName;
  std::string fileComment;
  std::string extraField;
};

struct DirectoryListing {
  std::vector<ZipDirEntry> entries;
  std::string comment;    // the archive comment
  int64_t sfxOffset = 0;  // bytes in front of the first entry
  int endDiskNumber = 0;  // disk holding the end record; 0 for a single file
  bool isSpanned = false;
  bool structureWarning = false;
};

// The number nnn of a volume label "PKBACK# nnn" (its characters 9 to 11), or -1.
int LabelDiskNumber(const std::string& volumeLabel);

// The end record of the disk open in `input`, searched in its last bytes; `found` is false
// when there is none. Throws 10202 when those bytes cannot be read.
EndRecordLocation ReadEndRecord(DiskInput& input);

// Where the central directory starts: its disk, the set's last disk, the offset on its disk.
struct DirectoryStart {
  int disk = 0;
  int lastDisk = 0;
  uint64_t offset = 0;
};

// Reads the `record.totalEntries` central headers from `start` of the disk open in `input`,
// with name, extra field and comment, appending them to `entries`; a disk that ends goes on
// at the start of the next one up to `start.lastDisk`. Throws ZipError (10201, 11013, 11015,
// 11017, 11022); `entries` then holds the headers read up to the failure.
void ReadEntries(DiskInput& input, const EndRecord& record, const DirectoryStart& start,
                 std::vector<ZipDirEntry>& entries);

// Reads the end record and the central directory of the archive open in `input` (the disk
// holding the end record) into `out`, which the caller passes empty. `labelDisk` is the
// number of the drive's "PKBACK# " label or -1. `warn` receives 10204 and 10203. Throws
// ZipError; `out` then holds what was read up to the failure.
void ReadDirectory(DiskInput& input, int labelDisk, DirectoryListing& out, const std::function<void(int id)>& warn);

}  // namespace zipfmt
