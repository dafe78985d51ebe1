// Random-access reads from an archive, so the engine reads files, memory and test doubles alike.
#pragma once

#include <cstddef>
#include <cstdint>

namespace unzip {

class ArchiveInput {
 public:
  virtual ~ArchiveInput() = default;
  virtual uint64_t Size() const = 0;
  // Reads up to `length` bytes at `offset` and returns how many were read: fewer only at the
  // end of the archive or after a read error.
  virtual size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t length) = 0;
};

}  // namespace unzip
