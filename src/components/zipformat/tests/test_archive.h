// Archives and disks for the listing tests: archives built from the published format by the
// join's set builder, edited in place, and read from memory through DiskInput.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "central_directory.h"
#include "span_set_builder.h"

namespace ziptest {

using Bytes = std::vector<uint8_t>;

// A stored member with `size` bytes of filler.
spantest::Member MakeMember(const std::string& name, size_t size, const std::string& comment = "");

// Adds `delta` to every local-header offset of the central directory and to the directory
// offset of the end record, as a self-extractor writer does after putting a stub in front.
void ShiftOffsets(Bytes& archive, uint32_t delta);

// Offset of the first central header (from the end record) of a single-file archive.
size_t DirectoryOffset(const Bytes& archive);

// The disks of a set in memory; the last one is open at first, as the listed archive.
class MemoryDisks : public zipfmt::DiskInput {
 public:
  explicit MemoryDisks(std::vector<Bytes> disks);

  std::vector<int> changes;  // disks opened by ChangeDisk, in order

  uint64_t Size() override { return disks_[open_].size(); }
  bool Seek(uint64_t offset) override;
  size_t Read(void* buffer, size_t size) override;
  void ChangeDisk(int disk, int lastDisk) override;

 private:
  std::vector<Bytes> disks_;
  size_t open_;
  size_t position_ = 0;
};

struct ListOutcome {
  zipfmt::DirectoryListing listing;
  std::vector<int> warnings;
  int error = 0;  // id of the ZipError, 0 when the listing succeeded
  int errorNumber = -1;
};

ListOutcome ListDisks(zipfmt::DiskInput& input, int labelDisk = -1);
ListOutcome ListBytes(const Bytes& archive, int labelDisk = -1);

}  // namespace ziptest
