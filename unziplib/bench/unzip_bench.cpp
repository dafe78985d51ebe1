// Extraction speed of the engine against bsdtar, 7z and its floor, on an archive of about
// 200 MB and 2,000 files (made once, kept in the build folder). The floor is the larger of two
// times: a plain in-memory inflate and CRC of the same members, and a plain loop that writes
// files of the same names and sizes (open, write, close). Each run happens in a child process,
// so its peak memory is its own. Usage: unzip_bench [folder]
#include <fcntl.h>
#include <ftw.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "member_directory.h"
#include "posix_files.h"
#include "thread_background.h"
#include "test_zip.h"
#include "unzip_engine.h"
#include "zip_format.h"

namespace {

constexpr int kSmallFiles = 1996;
constexpr size_t kMiB = 1024 * 1024;

struct Measured {
  double seconds = 0;     // wall-clock time
  double cpuSeconds = 0;  // user and system time of the child
  long maxRssKiB = 0;
  bool ok = false;
};

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

void RemoveTree(const std::string& path) {
  nftw(
      path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 16,
      FTW_DEPTH | FTW_PHYS);
}

// Small files of text-like or random content, and a few members over 20 MB.
void MakeArchive(const std::string& path) {
  std::printf("making %s (once) ...\n", path.c_str());
  std::fflush(stdout);
  ziptest::ZipWriter w;
  for (int i = 0; i < kSmallFiles; ++i) {
    ziptest::Entry e;
    e.name = "files/d" + std::to_string(i % 20) + "/f" + std::to_string(i) + ".dat";
    const size_t size = 40 * 1024 + size_t(i) * 7919 % (80 * 1024);
    const bool noise = i % 3 == 0;
    e.data = noise ? ziptest::NoiseData(size, uint32_t(i)) : ziptest::TextData(size, uint32_t(i));
    e.method = noise ? ziptest::kStored : ziptest::kDeflated;
    w.Add(e);
  }
  for (int i = 0; i < 4; ++i) {
    ziptest::Entry e;
    e.name = "big/noise" + std::to_string(i) + ".bin";
    e.data = ziptest::NoiseData(30 * kMiB, 1000 + uint32_t(i));
    e.method = ziptest::kDeflated;  // the writer stores what does not shrink only when told
    w.Add(e);
  }
  for (int i = 0; i < 2; ++i) {
    ziptest::Entry e;
    e.name = "big/text" + std::to_string(i) + ".txt";
    e.data = ziptest::TextData(25 * kMiB, 2000 + uint32_t(i));
    w.Add(e);
  }
  const std::vector<uint8_t> bytes = w.Finish();
  const std::string partial = path + ".part";
  std::ofstream(partial, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  std::rename(partial.c_str(), path.c_str());
}

// Runs `work` in a child process; its wall time and peak memory.
Measured InChild(const std::function<bool()>& work) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) _exit(work() ? 0 : 1);
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  Measured m;
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.maxRssKiB = usage.ru_maxrss;
  m.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return m;
}

bool RunProgram(std::vector<std::string> args, const std::string& folder) {
  if (chdir(folder.c_str()) != 0) return false;
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  dup2(null, 2);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  return false;
}

class Quiet : public unzip::Listener {
 public:
  bool OnEvent(const unzip::Event& e) override {
    if (e.action == unzipabi::kMessage) std::fprintf(stderr, "engine: %s\n", e.text.c_str());
    return true;
  }
};

// The engine as the library runs it, with a writer thread, or everything on one thread.
bool RunEngine(const std::string& archive, const std::string& folder, bool test, bool writerThread) {
  auto input = unzip::PosixFileInput::Open(archive);
  if (!input) return false;
  unzip::PosixSink sink(folder);
  Quiet quiet;
  unzip::Options o;
  o.dirNames = true;
  o.overwrite = true;
  o.fileSpecs = {"*.*"};
  o.test = test;
  const unzip::TableCodePages codePages;
  unzip::InlineBackground oneThread;
  std::unique_ptr<unzip::Background> background;
  if (writerThread) background = std::make_unique<unzip::ThreadBackground>();
  return unzip::Extract(*input, sink, quiet, o, codePages, background ? *background : oneThread) == kSmallFiles + 6;
}

// The writing half of the floor: the archive's files with their sizes, written by the simplest
// loop of the calls the engine makes (folders, open, write, close), from one buffer.
bool RunWriteLoop(const std::string& archive, const std::string& folder) {
  auto input = unzip::PosixFileInput::Open(archive);
  if (!input) return false;
  const unzip::CentralDirectory directory = unzip::ReadCentralDirectory(*input);
  const std::vector<uint8_t> block(unzip::kOutputBlockSize, 0x5A);
  std::set<std::string> folders;  // each made once, as the engine does
  for (const unzip::Member& m : directory.members) {
    const std::string path = folder + "/" + m.name;
    for (size_t slash = path.find('/', folder.size() + 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
      if (folders.insert(path.substr(0, slash)).second) mkdir(path.substr(0, slash).c_str(), 0755);
    if (m.IsFolder()) continue;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    for (size_t left = m.uncompressedSize; left > 0;) {
      const ssize_t n = write(fd, block.data(), std::min(left, block.size()));
      if (n <= 0) return false;
      left -= size_t(n);
    }
    if (close(fd) != 0) return false;
  }
  return true;
}

double CpuSeconds() {
  struct timespec t {};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The ceiling: every member inflated from memory into one reused buffer, CRC checked, nothing
// written. The archive is read into memory before the clock starts.
bool RunCeiling(const std::string& archive, double& seconds, double& cpuSeconds) {
  std::ifstream in(archive, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ziptest::MemoryInput input(bytes);
  const unzip::CentralDirectory directory = unzip::ReadCentralDirectory(input);
  std::vector<uint8_t> out(unzip::kOutputBlockSize);
  z_stream z{};
  inflateInit2(&z, -MAX_WBITS);
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = CpuSeconds();
  bool ok = true;
  for (const unzip::Member& m : directory.members) {
    const uint8_t* local = bytes.data() + m.localOffset;
    const size_t dataStart = m.localOffset + zipfmt::kLocalHeaderSize + zipfmt::Get16(local + zipfmt::local::kNameLen) +
                             zipfmt::Get16(local + zipfmt::local::kExtraLen);
    uint32_t crc = uint32_t(crc32(0, nullptr, 0));
    if (m.method == ziptest::kStored) {
      crc = uint32_t(crc32(crc, bytes.data() + dataStart, m.compressedSize));
    } else {
      inflateReset(&z);
      z.next_in = bytes.data() + dataStart;
      z.avail_in = m.compressedSize;
      int rc = Z_OK;
      while (rc == Z_OK) {
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        rc = inflate(&z, Z_NO_FLUSH);
        crc = uint32_t(crc32(crc, out.data(), uInt(out.size() - z.avail_out)));
      }
      ok = ok && rc == Z_STREAM_END;
    }
    ok = ok && crc == m.crc;
  }
  seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  cpuSeconds = CpuSeconds() - cpuStart;
  inflateEnd(&z);
  return ok;
}

// The best of `runs`, each into a fresh folder.
Measured Best(int runs, const std::string& folder, const std::function<bool()>& work) {
  Measured best;
  for (int i = 0; i < runs; ++i) {
    RemoveTree(folder);
    mkdir(folder.c_str(), 0755);
    const Measured m = InChild(work);
    if (!m.ok) return m;
    if (!best.ok || m.seconds < best.seconds) best = m;
  }
  RemoveTree(folder);
  return best;
}

void Print(const char* what, const Measured& m, double megabytes) {
  if (!m.ok) {
    std::printf("%-34s failed\n", what);
    return;
  }
  std::printf("%-36s %7.1f MB/s  %7.1f MB/s  %6.2f s  %6.2f s  %7ld KiB\n", what, megabytes / m.seconds,
              megabytes / m.cpuSeconds, m.seconds, m.cpuSeconds, m.maxRssKiB);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : UNZIP_BENCH_DIR;
  const std::string archive = folder + "/bench.zip";
  if (!FileExists(archive)) {
    const Measured made = InChild([&] {
      MakeArchive(archive);
      return true;
    });
    if (!made.ok) return 1;
  }

  uint64_t unpacked = 0;
  {
    auto input = unzip::PosixFileInput::Open(archive);
    if (!input) return 1;
    const unzip::CentralDirectory directory = unzip::ReadCentralDirectory(*input);
    for (const unzip::Member& m : directory.members) unpacked += m.uncompressedSize;
    std::printf("archive: %s, %.1f MB, %zu members, %.1f MB unpacked\n", archive.c_str(), double(input->Size()) / 1e6,
                directory.members.size(), double(unpacked) / 1e6);
  }
  const double megabytes = double(unpacked) / 1e6;
  const std::string out = folder + "/bench-out";
  const int runs = 3;
  std::printf("unpacked data per second, best of %d runs (wall clock, CPU time), peak memory\n", runs);
  std::printf("%-36s %12s  %12s  %8s  %8s  %11s\n", "", "wall", "cpu", "wall", "cpu", "memory");

  const Measured baseline = Best(1, out, [] { return true; });
  std::printf("%-36s %55ld KiB\n", "baseline (empty child process)", baseline.maxRssKiB);
  const Measured engine = Best(runs, out, [&] { return RunEngine(archive, out, false, true); });
  Print("engine", engine, megabytes);
  Print("engine, writing on the calling thread", Best(runs, out, [&] { return RunEngine(archive, out, false, false); }),
        megabytes);
  Print("engine, test only (nothing written)", Best(runs, out, [&] { return RunEngine(archive, out, true, false); }),
        megabytes);
  const Measured bsdtar = Best(runs, out, [&] { return RunProgram({"bsdtar", "-xf", archive}, out); });
  Print("bsdtar -xf", bsdtar, megabytes);
  const Measured sevenZip = Best(runs, out, [&] { return RunProgram({"7z", "x", "-y", archive}, out); });
  Print("7z x", sevenZip, megabytes);
  const Measured writeLoop = Best(runs, out, [&] { return RunWriteLoop(archive, out); });
  Print("floor: plain write loop", writeLoop, megabytes);

  Measured ceiling;
  for (int i = 0; i < runs; ++i) {
    Measured m;
    if (!RunCeiling(archive, m.seconds, m.cpuSeconds)) {
      std::printf("ceiling run failed\n");
      return 1;
    }
    if (!ceiling.ok || m.seconds < ceiling.seconds) ceiling = m;
    ceiling.ok = true;
  }
  Print("floor: in-memory inflate + CRC", ceiling, megabytes);
  if (!engine.ok || !writeLoop.ok) return 1;
  const double floor = std::max(ceiling.seconds, writeLoop.seconds);
  std::printf("floor %.2f s: engine reaches %.0f%% of the floor speed\n", floor, 100.0 * floor / engine.seconds);
  if (bsdtar.ok && sevenZip.ok)
    std::printf("engine is %.2fx the faster of bsdtar and 7z\n",
                std::min(bsdtar.seconds, sevenZip.seconds) / engine.seconds);
  return 0;
}
