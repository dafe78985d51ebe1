// Cutting one archive image into the parts of a multi-part set: every central header gets the
// disk and offset of its local header, the end record the disks of the directory and of
// itself. Shared by the archive writer of the medium builder and the join's test sets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zipfmt {

using Bytes = std::vector<uint8_t>;

// An archive written front to back as one stream, with where its structures start. For a
// multi-part set the stream starts with the spanning marker. The end record's bytes are
// reserved and written by SplitIntoParts.
struct ArchiveImage {
  Bytes bytes;
  std::vector<size_t> locals;    // local header per member
  std::vector<size_t> centrals;  // central header per member (same index as locals)
  size_t directory = 0;          // first central header
  size_t endRecord = 0;          // the end record; the archive comment follows it
  uint16_t commentLength = 0;
};

// Where a structure starts: disk (part) and offset within it.
struct Place {
  int disk = 0;
  uint32_t offset = 0;
};

struct SplitArchive {
  std::vector<Bytes> parts;
  std::vector<Place> localHeaders;    // per member
  std::vector<Place> centralHeaders;  // per member
  Place endRecord;                    // always in the last part
};

// The part that `position` falls in, given the stream positions where parts begin (sorted,
// the first 0). A structure that starts exactly at a part end lies at offset 0 of the next.
Place PlaceOf(const std::vector<size_t>& partStarts, size_t position);

// Cuts the image at `partStarts` (sorted, the first 0, all of them before the end record),
// fills in the central headers' disk and local-header offset fields and writes the end record.
// Throws std::invalid_argument for a cut inside or after the end record.
SplitArchive SplitIntoParts(ArchiveImage image, const std::vector<size_t>& partStarts);

}  // namespace zipfmt
