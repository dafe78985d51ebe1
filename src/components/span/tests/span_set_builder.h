// Multi-part ZIP sets built in memory from the published ZIP format, and an independent
// reader of single-file archives, for the join's tests, fuzzer seeds and benchmark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "zip_format.h"
#include "zip_parts.h"

namespace spantest {

using Bytes = std::vector<uint8_t>;
using Parts = std::vector<Bytes>;

// One member, stored (method 0).
struct Member {
  std::string name;
  Bytes data;
  bool dataDescriptor = false;  // CRC and sizes follow the data; zero in the local header
  std::string extra;            // the same extra field in the local and the central header
  std::string comment;          // entry comment in the central header
};

using zipfmt::Place;

struct BuiltSet {
  Parts parts;
  std::vector<Place> localHeaders;    // per member, in member order
  std::vector<Place> centralHeaders;  // per member
  Place endRecord;                    // always in the last part
};

struct SetOptions {
  std::string archiveComment;
  uint32_t marker = zipfmt::kSpanMarkerSig;  // first four bytes of disk 0
  // Member indexes in central-directory order; empty for member order.
  std::vector<size_t> directoryOrder;
};

// Splits the archive of `members` into parts: part i (before the last) holds exactly
// partSizes[i] bytes, the last part the rest, which must contain the whole end record and
// comment. Disk 0 starts with the options' marker; structures that start exactly at a part
// end are placed at offset 0 of the next part.
BuiltSet BuildSpanSet(const std::vector<Member>& members, const std::vector<size_t>& partSizes,
                      const SetOptions& options = SetOptions());

// The same members as one ordinary archive (no marker): what joining their set must produce.
Bytes BuildSingleArchive(const std::vector<Member>& members, const SetOptions& options = SetOptions());

// The set cut into `partCount` parts of nearly equal size (the last one a little larger
// when the end record would otherwise be cut).
BuiltSet BuildEvenSpanSet(const std::vector<Member>& members, size_t partCount,
                          const SetOptions& options = SetOptions());

uint32_t Crc32(const uint8_t* data, size_t size);

// A member as read back from a single-file archive, checked against its local header.
struct ReadMember {
  std::string name;
  Bytes data;
  uint16_t diskStart = 0;
  uint32_t localOffset = 0;
};

struct ReadResult {
  bool ok = false;
  std::string error;  // what was wrong, when not ok
  zipfmt::EndRecord end;
  std::string comment;
  std::vector<ReadMember> members;
};

// Reads a single-file archive the way an extractor would: end record, central directory,
// and for each entry its local header (signature, name) and data (length, CRC-32).
ReadResult ReadSingleArchive(const Bytes& archive);

// Deterministic filler bytes.
Bytes PatternBytes(size_t size, uint32_t seed);

}  // namespace spantest
