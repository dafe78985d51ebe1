#include "test_archive.h"

#include <algorithm>
#include <cstring>

#include "zip_format.h"

namespace ziptest {

spantest::Member MakeMember(const std::string& name, size_t size, const std::string& comment) {
  spantest::Member m;
  m.name = name;
  m.data = spantest::PatternBytes(size, uint32_t(name.size() * 7 + size));
  m.comment = comment;
  return m;
}

size_t DirectoryOffset(const Bytes& archive) {
  const auto end =
      zipfmt::FindEndRecord(archive.data(), std::min(archive.size(), zipfmt::kEndSearchWindow), archive.size());
  return end.found ? end.record.directoryOffset : 0;
}

void ShiftOffsets(Bytes& archive, uint32_t delta) {
  const size_t window = std::min(archive.size(), zipfmt::kEndSearchWindow);
  const size_t tailStart = archive.size() - window;
  const auto end = zipfmt::FindEndRecord(archive.data() + tailStart, window, archive.size());
  const size_t recordAt = size_t(end.recordOffset);
  // The directory lies right before the end record.
  size_t at = recordAt - end.record.directorySize;
  for (unsigned i = 0; i < end.record.totalEntries; ++i) {
    uint8_t* h = archive.data() + at;
    zipfmt::Put32(h + zipfmt::central::kLocalOffset, zipfmt::Get32(h + zipfmt::central::kLocalOffset) + delta);
    at += zipfmt::kCentralHeaderSize + zipfmt::Get16(h + zipfmt::central::kNameLen) +
          zipfmt::Get16(h + zipfmt::central::kExtraLen) + zipfmt::Get16(h + zipfmt::central::kCommentLen);
  }
  uint8_t* r = archive.data() + recordAt;
  zipfmt::Put32(r + 16, zipfmt::Get32(r + 16) + delta);
}

MemoryDisks::MemoryDisks(std::vector<Bytes> disks) : disks_(std::move(disks)), open_(disks_.size() - 1) {}

bool MemoryDisks::Seek(uint64_t offset) {
  if (offset > disks_[open_].size()) return false;
  position_ = size_t(offset);
  return true;
}

size_t MemoryDisks::Read(void* buffer, size_t size) {
  const Bytes& d = disks_[open_];
  const size_t n = std::min(size, d.size() - position_);
  if (n) std::memcpy(buffer, d.data() + position_, n);
  position_ += n;
  return n;
}

void MemoryDisks::ChangeDisk(int disk, int) {
  if (disk < 0 || size_t(disk) >= disks_.size()) throw zipfmt::ZipError(11001);
  changes.push_back(disk);
  open_ = size_t(disk);
  position_ = 0;
}

ListOutcome ListDisks(zipfmt::DiskInput& input, int labelDisk) {
  ListOutcome out;
  try {
    zipfmt::ReadDirectory(input, labelDisk, out.listing, [&](int id) { out.warnings.push_back(id); });
  } catch (const zipfmt::ZipError& e) {
    out.error = e.Id();
    if (e.HasNumber()) out.errorNumber = e.Number();
  }
  return out;
}

ListOutcome ListBytes(const Bytes& archive, int labelDisk) {
  MemoryDisks disks({archive});
  return ListDisks(disks, labelDisk);
}

}  // namespace ziptest
