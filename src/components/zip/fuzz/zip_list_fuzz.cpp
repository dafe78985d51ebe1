// libFuzzer target: the directory reader on hostile input. The first byte chooses how many
// disks the rest is cut into (1 to 4); the reader must end with a listing or a ZipError.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "central_directory.h"

namespace {

class FuzzDisks : public zipcore::DiskInput {
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
    if (disk < 0 || size_t(disk) >= disks_.size()) throw zipcore::ZipError(11001);
    open_ = size_t(disk);
    position_ = 0;
  }

 private:
  std::vector<std::vector<uint8_t>> disks_;
  size_t open_;
  size_t position_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t count = 1 + data[0] % 4;
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
  zipcore::DirectoryListing listing;
  try {
    zipcore::ReadDirectory(input, -1, listing, [](int) {});
  } catch (const zipcore::ZipError&) {
  }
  return 0;
}
