// Joins a three-part set of about 200 MB from files on disk and prints its speed beside a
// plain copy of the same part files into one file, measured in the same run.
//   span_bench [folder [megabytes]]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "file_parts.h"
#include "memory_parts.h"
#include "part_names.h"
#include "span_set_builder.h"

using namespace spantest;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr size_t kMemberSize = 5 * 1024 * 1024;
constexpr int kRounds = 7;

std::string WriteParts(const fs::path& folder, size_t megabytes) {
  std::vector<Member> members(std::max<size_t>(1, megabytes * 1024 * 1024 / kMemberSize));
  for (size_t i = 0; i < members.size(); ++i) {
    members[i].name = "data/file" + std::to_string(i) + ".bin";
    members[i].data = PatternBytes(kMemberSize, uint32_t(i + 1));
    members[i].dataDescriptor = i % 4 == 3;
  }
  const Parts parts = BuildEvenSpanSet(members, 3).parts;
  std::string last;
  for (size_t i = 0; i < parts.size(); ++i) {
    last = span::PartFileName((folder / "bench000.zip").string(), int(i));
    span::FilePtr file(std::fopen(last.c_str(), "wb"));
    if (!file || std::fwrite(parts[i].data(), 1, parts[i].size(), file.get()) != parts[i].size()) {
      std::fprintf(stderr, "cannot write %s\n", last.c_str());
      std::exit(1);
    }
  }
  return last;
}

// The same bytes moved through the same C runtime with the same chunk size, nothing parsed.
uint64_t PlainCopy(const std::string& lastPart, const std::string& target) {
  span::FilePtr out(std::fopen(target.c_str(), "wb"));
  std::vector<char> chunk(span::kCopyChunk);
  uint64_t total = 0;
  for (int part = 0; part < 3; ++part) {
    span::FilePtr in(std::fopen(span::PartFileName(lastPart, part).c_str(), "rb"));
    size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), in.get())) > 0) {
      std::fwrite(chunk.data(), 1, n, out.get());
      total += n;
    }
  }
  return total;
}

uint64_t Join(const std::string& lastPart, const std::string& target) {
  span::FilePartSource source(lastPart);
  span::FileJoinSink sink(target);
  NoEvents events;
  const span::JoinSummary summary = span::JoinParts(source, sink, events);
  if (!sink.Close()) {
    std::fprintf(stderr, "writing %s failed\n", target.c_str());
    std::exit(1);
  }
  return summary.bytesWritten;
}

struct Rates {
  std::vector<double> megabytesPerSecond;
  uint64_t bytes = 0;

  double Best() const { return *std::max_element(megabytesPerSecond.begin(), megabytesPerSecond.end()); }
  double Median() {
    std::sort(megabytesPerSecond.begin(), megabytesPerSecond.end());
    return megabytesPerSecond[megabytesPerSecond.size() / 2];
  }
};

template <typename Run>
void Measure(Run run, Rates& rates) {
  const auto start = Clock::now();
  rates.bytes = run();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  rates.megabytesPerSecond.push_back(double(rates.bytes) / (1024.0 * 1024.0) / seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "span_bench";
  const size_t megabytes = argc > 2 ? size_t(std::atoi(argv[2])) : 200;
  fs::create_directories(folder);
  const std::string lastPart = WriteParts(folder, megabytes);
  const std::string target = (folder / "joined.zip").string();

  try {
    // Rounds alternate between the two, so that a busy machine slows both alike.
    Rates copy, join;
    for (int round = 0; round < kRounds; ++round) {
      if (round % 2 == 0) Measure([&] { return PlainCopy(lastPart, target); }, copy);
      Measure([&] { return Join(lastPart, target); }, join);
      if (round % 2 == 1) Measure([&] { return PlainCopy(lastPart, target); }, copy);
    }
    std::printf("parts: 3 files, %.1f MB in %s\n", double(copy.bytes) / (1024.0 * 1024.0), folder.string().c_str());
    std::printf("plain copy: best %7.1f MB/s, median %7.1f MB/s (%d rounds)\n", copy.Best(), copy.Median(), kRounds);
    std::printf("join:       best %7.1f MB/s, median %7.1f MB/s (%d rounds), %.1f MB written\n", join.Best(),
                join.Median(), kRounds, double(join.bytes) / (1024.0 * 1024.0));
    std::printf("join / copy (medians): %.0f%%\n", 100.0 * join.Median() / copy.Median());
  } catch (const zipfmt::ZipError& e) {
    std::fprintf(stderr, "join failed: %d\n", e.Id());
    return 1;
  }
  fs::remove_all(folder);
  return 0;
}
