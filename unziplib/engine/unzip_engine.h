// The extraction engine behind UNZIPLIB.DLL: reads a ZIP archive's central directory, picks
// the members that the file specifications name and extracts or tests them through an output
// sink, reporting progress and messages with the action codes of the library's callback.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive_input.h"
#include "background.h"
#include "code_pages.h"
#include "output_sink.h"
#include "unzip_abi.h"

namespace unzip {

struct Options {
  bool test = false;       // check the members' CRCs, write nothing
  bool update = false;     // only members newer than the existing file, or missing ones
  bool freshen = false;    // only members whose file exists and is older
  bool dirNames = false;   // recreate stored folders; otherwise files land in the base folder
  bool overwrite = false;  // replace existing files; otherwise they are kept
  bool verbose = false;    // one extra message per member that went well
  std::string password;    // for encrypted members; empty means none
  // Member names are matched against these without regard to case, with "*" and "?".
  // "*.*" matches every member. No specification at all selects nothing.
  std::vector<std::string> fileSpecs;
};

// The error codes of the messages are part of the call interface (unzip_abi.h).
using namespace unzipabi::errors;

// One report to the caller, shaped like the library's callback record.
struct Event {
  unzipabi::Action action = unzipabi::kMessage;
  int32_t errorCode = kNoError;
  // kNewFile: the member's uncompressed size; kFileProgress: bytes of the member produced
  // since the previous report; kTotalFiles: the count; kTotalSize: the total uncompressed size.
  uint32_t size = 0;
  // kNewFile: the file's name relative to the base folder; kMessage: the text. In the ANSI
  // code page.
  std::string text;
};

class Listener {
 public:
  virtual ~Listener() = default;
  // Returns false to stop the extraction.
  virtual bool OnEvent(const Event& event) = 0;
};

// Output is produced in blocks of this size; a progress event follows each full block.
constexpr size_t kOutputBlockSize = 256 * 1024;

// Extracts (or tests) the selected members and returns how many went well. Reports, in this
// order: messages about members that are passed over, kTotalSize and kTotalFiles of the
// members to process, then per member kNewFile, progress and messages, and kBatchEnd last.
// A member's kNewFile comes before its file is created, and after the member before it is
// written and reported: a caller may move an existing file of that name away when the
// member is announced (setup keeps old files so), and the member is then written anew.
// Names reach the sink in UTF-8 and the listener in the ANSI code page of `codePages`. The
// sink's writes run on `background` while the next member is decompressed; events and sink
// calls for folders and existing files stay on the calling thread.
int Extract(ArchiveInput& archive, OutputSink& sink, Listener& listener, const Options& options,
            const CodePages& codePages, Background& background) noexcept;
// The same with the portable code pages (1252 and 850), all on the calling thread.
int Extract(ArchiveInput& archive, OutputSink& sink, Listener& listener, const Options& options) noexcept;

}  // namespace unzip
