// libFuzzer target: the directory reader on hostile input. The first byte chooses how many
// disks the rest is cut into (1 to 4, low bits) and the disk number of the drive's label (none
// or 0 to 14, high bits); the reader must end with a listing or a ZipError.
// What it lists must have been in the file: the entries, each a central header with its name,
// extra field and comment, lie one after the other inside the disks read as one stream, and
// the bytes in front of the archive do not exceed the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "central_directory.h"
#include "zip_format.h"

namespace {

void Fail(int line) {
  std::fprintf(stderr, "zip_list_fuzz: check on line %d failed\n", line);
  std::abort();
}
#define Check(condition) ((condition) ? void() : Fail(__LINE__))

class FuzzDisks : public zipfmt::DiskInput {
 public:
  explicit FuzzDisks(std::vector<std::vector<uint8_t>> disks) : disks_(std::move(disks)), open_(disks_.size() - 1) {}
  uint64_t Size() override { return disks_[open_].size(); }
  bool Seek(uint64_t offset) override {
    if (offset > disks_[open_].size()) return false;
    position_ = size_t(offset);
    return true;
  }
  size_t Read(void* buffer, size_t size) override {
    const auto& d = disks_[open_];
    const size_t n = std::min(size, d.size() - position_);
    if (n) std::memcpy(buffer, d.data() + position_, n);
    position_ += n;
    return n;
  }
  void ChangeDisk(int disk, int) override {
    if (disk < 0 || size_t(disk) >= disks_.size()) throw zipfmt::ZipError(11001);
    open_ = size_t(disk);
    position_ = 0;
  }

 private:
  std::vector<std::vector<uint8_t>> disks_;
  size_t open_;
  size_t position_ = 0;
};

// The entry's central header as the file holds it: signature, header fields, name.
std::vector<uint8_t> HeaderBytes(const zipfmt::ZipDirEntry& entry) {
  std::vector<uint8_t> bytes(zipfmt::kCentralHeaderSize);
  zipfmt::Put32(bytes.data(), zipfmt::kCentralHeaderSig);
  std::memcpy(&bytes[zipfmt::central::kVersionMadeBy], static_cast<const zipfmt::ZipDirHeader*>(&entry),
              sizeof(zipfmt::ZipDirHeader));
  bytes.insert(bytes.end(), entry.fileName.begin(), entry.fileName.end());
  return bytes;
}

// Where the entry starts in [from, end): the first place that holds its central header and
// name, room for its extra field, and its comment; null when there is none. The first such
// place is never behind the entry's true place, so the next entry is searched after it.
const uint8_t* FindEntry(const zipfmt::ZipDirEntry& entry, const uint8_t* from, const uint8_t* end) {
  const std::vector<uint8_t> header = HeaderBytes(entry);
  const size_t commentAt = header.size() + entry.extraFieldLength;
  for (const uint8_t* at = from;; ++at) {
    at = std::search(at, end, header.begin(), header.end());
    if (size_t(end - at) < commentAt + entry.fileCommentLength) return nullptr;
    if (std::memcmp(entry.fileComment.data(), at + commentAt, entry.fileCommentLength) == 0) return at;
  }
}

// Finds the entries in the file one after the other, each with its name and comment as read.
void CheckEntriesInFile(const std::vector<zipfmt::ZipDirEntry>& entries, const uint8_t* data, size_t size) {
  const uint8_t* from = data;
  for (const zipfmt::ZipDirEntry& entry : entries) {
    Check(entry.fileName.size() == entry.fileNameLength);
    Check(entry.fileComment.size() == entry.fileCommentLength);
    const uint8_t* at = FindEntry(entry, from, data + size);
    Check(at != nullptr);
    from = at + zipfmt::kCentralHeaderSize + entry.fileNameLength + entry.extraFieldLength + entry.fileCommentLength;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t count = 1 + data[0] % 4;
  const int labelDisk = (data[0] >> 4) - 1;
  ++data;
  --size;
  std::vector<std::vector<uint8_t>> disks;
  const size_t piece = size / count;
  for (size_t i = 0; i < count; ++i) {
    const size_t from = i * piece;
    const size_t to = i + 1 == count ? size : from + piece;
    disks.emplace_back(data + from, data + to);
  }
  FuzzDisks input(std::move(disks));
  zipfmt::DirectoryListing listing;
  try {
    zipfmt::ReadDirectory(input, labelDisk, listing, [](int) {});
  } catch (const zipfmt::ZipError&) {
    return 0;
  }
  Check(listing.sfxOffset >= 0 && uint64_t(listing.sfxOffset) <= size);
  CheckEntriesInFile(listing.entries, data, size);
  return 0;
}
