// libFuzzer target: any bytes as an archive, extracted twice into a real folder and then
// tested. Nothing may crash or hang. Afterwards the folder is examined on its own terms: every entry
// found below it resolves (real path) inside it, nothing appeared beside it, no temporary file
// is left, and every file there was announced by a new-file event. A test run writes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "posix_files.h"
#include "test_zip.h"
#include "unzip_engine.h"

namespace fs = std::filesystem;

namespace {

void Fail(int line, const std::string& what) {
  std::fprintf(stderr, "unzip_fuzzer: check on line %d failed: %s\n", line, what.c_str());
  std::abort();
}
#define Check(condition, what) ((condition) ? void() : Fail(__LINE__, what))

// The sandbox: `root` is the extraction folder, the only entry of `top`.
struct Sandbox {
  fs::path top;
  fs::path root;
};

const Sandbox& TheSandbox() {
  static const Sandbox sandbox = [] {
    // In memory unless TMPDIR says otherwise: the folder is refilled for every input.
    const char* folder = std::getenv("TMPDIR");
    if (!folder) folder = fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(folder) + "/unzip_fuzzer.XXXXXX";
    if (!mkdtemp(&pattern[0])) Fail(__LINE__, "no sandbox folder");
    Sandbox s{fs::canonical(pattern), {}};
    s.root = s.top / "out";
    std::atexit([] { fs::remove_all(TheSandbox().top); });
    return s;
  }();
  return sandbox;
}

// True when `path` lies strictly below `folder`; both are canonical.
bool IsBelow(const fs::path& path, const fs::path& folder) {
  const std::string p = path.string();
  const std::string f = folder.string() + "/";
  return p.compare(0, f.size(), f) == 0;
}

// Events name files in code page 1252; the files on disk have UTF-8 names.
std::string Utf8FromCp1252(const std::string& text) {
  static const uint16_t k80To9F[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string utf8;
  for (const char c : text) {
    const uint8_t byte = uint8_t(c);
    const unsigned code = byte >= 0x80 && byte < 0xA0 ? k80To9F[byte - 0x80] : byte;
    if (code < 0x80) {
      utf8 += char(code);
    } else if (code < 0x800) {
      utf8 += char(0xC0 | (code >> 6));
      utf8 += char(0x80 | (code & 0x3F));
    } else {
      utf8 += char(0xE0 | (code >> 12));
      utf8 += char(0x80 | ((code >> 6) & 0x3F));
      utf8 += char(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

// Collects the names of new-file events; stops the extraction after `stopAfter` events.
class Announced : public unzip::Listener {
 public:
  std::set<std::string> files;
  size_t stopAfter = SIZE_MAX;
  bool OnEvent(const unzip::Event& event) override {
    if (event.action == unzipabi::kNewFile) files.insert(Utf8FromCp1252(event.text));
    return stopAfter-- != 0;
  }
};

// A number that the input decides but that does not constrain its bytes (FNV-1a).
uint32_t Pick(const uint8_t* data, size_t size) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  return h;
}

// The real sink, guarded: a path that would leave the folder (taken lexically, with either
// separator) is refused before anything is written, and the bytes written are capped.
class GuardedSink : public unzip::OutputSink {
 public:
  explicit GuardedSink(const fs::path& root) : root_(root), files_(root.string()) {}

  unzip::FolderResult CreateFolders(const std::string& folder) override {
    Guard(folder);
    return files_.CreateFolders(folder);
  }
  unzip::ExistingEntry Examine(const std::string& path) override { return files_.Examine(path); }
  std::unique_ptr<unzip::PendingFile> Begin(const std::string& path) override {
    Guard(path);
    auto file = files_.Begin(path);
    return file ? std::make_unique<Capped>(std::move(file), budget_) : nullptr;
  }

 private:
  class Capped : public unzip::PendingFile {
   public:
    Capped(std::unique_ptr<unzip::PendingFile> file, size_t& budget) : file_(std::move(file)), budget_(budget) {}
    bool Write(const uint8_t* data, size_t length) override {
      if (length > budget_) return false;  // as a full disk
      budget_ -= length;
      return file_->Write(data, length);
    }
    bool Commit(unzip::DosTime modified) override { return file_->Commit(modified); }

   private:
    std::unique_ptr<unzip::PendingFile> file_;
    size_t& budget_;
  };

  void Guard(const std::string& path) const {
    std::string slashed = path;
    for (char& c : slashed)
      if (c == '\\') c = '/';
    const fs::path target = (root_ / slashed).lexically_normal();
    Check(target == root_ || IsBelow(target, root_), "outside the folder: " + path);
  }

  fs::path root_;
  unzip::PosixSink files_;
  size_t budget_ = 16 << 20;
};

// Examines what the extraction left below the sandbox.
void CheckExtracted(const Sandbox& sandbox, const std::set<std::string>& announced) {
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(sandbox.top)) {
    const fs::path real = fs::weakly_canonical(entry.path());
    if (real == sandbox.root) continue;
    Check(IsBelow(real, sandbox.root), "written outside the folder: " + entry.path().string());
    const std::string name = entry.path().filename().string();
    Check(name.find('\\') == std::string::npos, "a separator inside a name: " + name);
    Check(name.compare(0, 5, ".unz-") != 0, "temporary file left: " + name);
    if (!entry.is_directory()) {
      const std::string relative = entry.path().lexically_relative(sandbox.root).string();
      Check(announced.count(relative) != 0, "file not announced: " + relative);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Sandbox& sandbox = TheSandbox();
  fs::remove_all(sandbox.root);
  fs::create_directory(sandbox.root);

  unzip::Options options;
  options.dirNames = true;
  options.overwrite = true;
  options.password = "secret";
  options.fileSpecs = {"*.*"};
  ziptest::MemoryInput input(data, size);
  Announced announced;
  GuardedSink sink(sandbox.root);
  unzip::Extract(input, sink, announced, options);
  CheckExtracted(sandbox, announced.files);

  // Once more into the filled folder, with options that the input picks: existing files are
  // kept, updated or freshened, stored folders dropped, the password missing, the run stopped.
  const uint32_t pick = Pick(data, size);
  unzip::Options again = options;
  again.overwrite = pick & 1;
  again.update = pick & 2;
  again.freshen = pick & 4;
  again.dirNames = pick & 8;
  if (pick & 16) again.password.clear();
  Announced announcedAgain;
  if (pick & 32) announcedAgain.stopAfter = (pick >> 8) % 16;
  unzip::Extract(input, sink, announcedAgain, again);
  announcedAgain.files.insert(announced.files.begin(), announced.files.end());
  CheckExtracted(sandbox, announcedAgain.files);

  options.test = true;
  options.dirNames = false;
  ziptest::MemorySink untouched;
  Announced ignored;
  unzip::Extract(input, untouched, ignored, options);
  Check(untouched.files.empty() && untouched.folders.empty(), "a test run wrote");
  return 0;
}
