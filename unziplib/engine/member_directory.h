// The members of an archive from its central directory (read by the shared reader), with where
// each member's data may lie.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive_input.h"
#include "output_sink.h"

namespace unzip {

struct Member {
  std::string name;        // as stored
  std::string extraField;  // of the central header
  uint16_t versionMadeBy = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  DosTime modified;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t externalAttributes = 0;
  uint64_t localOffset = 0;  // file offset of the local header, corrected for a leading stub
  // Where the next member's local header (or the directory) begins: the member's header and
  // data must end there.
  uint64_t dataLimit = 0;
  // The member's extent reaches into another member or the directory, or lies outside the
  // archive; its data cannot be trusted.
  bool badExtent = false;
  bool zip64 = false;  // sizes or offset only in a ZIP64 extra field

  bool IsFolder() const;
  bool IsEncrypted() const;
};

enum class DirectoryStatus {
  kOk,
  kNotAnArchive,  // no end record
  kZip64,         // the directory itself needs ZIP64
  kDamaged,       // directory outside the file or its headers unreadable
};

struct CentralDirectory {
  DirectoryStatus status = DirectoryStatus::kOk;
  std::vector<Member> members;  // in directory order
};

CentralDirectory ReadCentralDirectory(ArchiveInput& input);

}  // namespace unzip
