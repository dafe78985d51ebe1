// libFuzzer target: any bytes as an archive, extracted to memory and tested. Nothing may crash,
// hang, leave a temporary file or produce a path that leaves the extraction folder.
#include <cstddef>
#include <cstdint>

#include "member_names.h"
#include "test_zip.h"
#include "unzip_engine.h"

namespace {

class Quiet : public unzip::Listener {
 public:
  bool OnEvent(const unzip::Event&) override { return true; }
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  unzip::Options options;
  options.dirNames = true;
  options.overwrite = true;
  options.password = "secret";
  options.fileSpecs = {"*.*"};
  ziptest::MemoryInput input(data, size);
  Quiet quiet;

  ziptest::MemorySink sink;
  sink.capacity = 64 << 20;
  unzip::Extract(input, sink, quiet, options);
  Check(sink.liveTemporaries == 0);
  for (const auto& file : sink.files) Check(unzip::IsSafeMemberName(file.first));
  for (const std::string& folder : sink.folders) Check(unzip::IsSafeMemberName(folder));

  options.test = true;
  options.dirNames = false;
  ziptest::MemorySink untouched;
  unzip::Extract(input, untouched, quiet, options);
  Check(untouched.files.empty() && untouched.folders.empty());
  return 0;
}
