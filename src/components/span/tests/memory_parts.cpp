#include "memory_parts.h"

#include <algorithm>
#include <cstring>

#include "part_names.h"

namespace spantest {

MemoryPartSource::MemoryPartSource(Parts parts, std::string listedName)
    : parts_(std::move(parts)), listedName_(std::move(listedName)) {}

void MemoryPartSource::OpenLastPart(int attempt) {
  ++lastPartOpens;
  position_ = 0;
  if (size_t(attempt) < wrongDisksFirst.size()) {
    open_ = &wrongDisksFirst[size_t(attempt)];
    return;
  }
  if (parts_.empty()) throw zipfmt::ZipError(zipmsg::kFileNotFound);
  open_ = &parts_.back();
}

void MemoryPartSource::LastPartHasNoEndRecord(int attempt) {
  if (size_t(attempt) < wrongDisksFirst.size()) return;  // prompt for the last disk again
  throw span::NoEndRecordError(listedName_);
}

void MemoryPartSource::ChangeDisk(int disk, int lastDisk) {
  disksOpened.push_back(disk);
  lastDiskSeen = lastDisk;
  open_ = nullptr;
  if (disk < 0 || size_t(disk) >= parts_.size() || missing.count(disk)) throw zipfmt::ZipError(zipmsg::kFileNotFound);
  open_ = &parts_[size_t(disk)];
  position_ = 0;
}

uint64_t MemoryPartSource::Size() { return open_ ? open_->size() : 0; }

bool MemoryPartSource::Seek(uint64_t offset) {
  if (!open_ || offset > open_->size()) return false;
  position_ = size_t(offset);
  return true;
}

size_t MemoryPartSource::Read(void* buffer, size_t size) {
  if (!open_) return 0;
  const size_t n = std::min({size, maxRead, open_->size() - position_});
  if (n) std::memcpy(buffer, open_->data() + position_, n);
  position_ += n;
  return n;
}

bool MemorySink::Write(const void* data, size_t size) {
  if (size > limit - std::min(limit, bytes.size())) return false;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  bytes.insert(bytes.end(), p, p + size);
  return true;
}

}  // namespace spantest
