// Prints how long the component's List takes natively for archives of 10,000 and 20,000
// small members: the central directory read from a file through unbuffered read and seek
// calls, as the component reads through ReadFile, and every name turned to "\" separators.
//   zip_list_bench [folder]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "central_directory.h"
#include "name_conversion.h"
#include "span_set_builder.h"

namespace {

constexpr int kRounds = 25;

// One archive file read by plain system calls, one call per request.
class UnbufferedFile : public zipfmt::DiskInput {
 public:
  explicit UnbufferedFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {
    if (fd_ >= 0) size_ = uint64_t(::lseek(fd_, 0, SEEK_END));
  }
  ~UnbufferedFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  uint64_t Size() override { return size_; }
  bool Seek(uint64_t offset) override { return offset <= size_ && ::lseek(fd_, off_t(offset), SEEK_SET) >= 0; }
  size_t Read(void* buffer, size_t size) override {
    const ssize_t got = ::read(fd_, buffer, size);
    return got > 0 ? size_t(got) : 0;
  }

 private:
  int fd_;
  uint64_t size_ = 0;
};

// Small members in 50 folders, named like an installation's files.
std::string WriteArchive(const std::string& folder, int members) {
  std::vector<spantest::Member> list(static_cast<size_t>(members));
  for (int i = 0; i < members; ++i) {
    list[size_t(i)].name = "help/folder" + std::to_string(i % 50) + "/page" + std::to_string(i) + ".htm";
    list[size_t(i)].data = spantest::PatternBytes(100, uint32_t(i));
  }
  const spantest::Bytes bytes = spantest::BuildSingleArchive(list);
  const std::string path = folder + "/list_bench_" + std::to_string(members) + ".zip";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
  std::fclose(file);
  return path;
}

// The listing is kept, as the component keeps its entries; freeing it is not timed.
double MillisecondsToList(const std::string& path, size_t expected) {
  zipfmt::DirectoryListing listing;
  const auto start = std::chrono::steady_clock::now();
  UnbufferedFile file(path);
  zipfmt::ReadDirectory(file, -1, listing, [](int) {});
  for (zipfmt::ZipDirEntry& entry : listing.entries) entry.fileName = zipfmt::ToBackslashes(std::move(entry.fileName));
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  if (listing.entries.size() != expected) {
    std::fprintf(stderr, "%s: %zu entries listed, %zu expected\n", path.c_str(), listing.entries.size(), expected);
    std::exit(1);
  }
  return took.count();
}

double MedianMilliseconds(const std::string& path, size_t expected) {
  std::vector<double> times;
  for (int i = 0; i < kRounds; ++i) times.push_back(MillisecondsToList(path, expected));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : "/tmp";
  const std::string small = WriteArchive(folder, 10000), large = WriteArchive(folder, 20000);
  MillisecondsToList(small, 10000);  // warm the page cache
  const double t10 = MedianMilliseconds(small, 10000), t20 = MedianMilliseconds(large, 20000);
  std::printf("List, median of %d runs\n", kRounds);
  std::printf("list_10000_ms %.2f\n", t10);
  std::printf("list_20000_ms %.2f\n", t20);
  std::printf("list_ratio %.2f\n", t20 / t10);
  std::remove(small.c_str());
  std::remove(large.c_str());
  return 0;
}
