#include "parameter_block.h"

namespace unzip {

namespace {

constexpr size_t kMaxPathText = 32767;
constexpr size_t kMaxSpecText = 4096;
constexpr size_t kMaxPassword = unzipabi::kPasswordBufferSize - 1;

bool FlagAt(const uint8_t* block, size_t offset) { return unzipabi::GetI32(block + offset) != 0; }

uint32_t WordAt(const uint8_t* block, size_t offset) { return uint32_t(unzipabi::GetI32(block + offset)); }

}  // namespace

BlockStatus ReadBlock(const uint8_t* block, CallerMemory& memory, BlockContents& out) {
  namespace b = unzipabi::block;
  if (block == nullptr) return BlockStatus::kMissing;
  out.caller = WordAt(block, b::kCaller);
  out.callback = WordAt(block, b::kCallback);
  if (unzipabi::GetI32(block + b::kNewClosingMark) != unzipabi::kClosingMark) return BlockStatus::kWrongLayout;

  Options& o = out.options;
  o.test = FlagAt(block, b::kTest);
  o.verbose = FlagAt(block, b::kVerbose) || FlagAt(block, b::kTrace);
  o.update = FlagAt(block, b::kUpdate);
  o.freshen = FlagAt(block, b::kFreshen) && !o.update;
  o.dirNames = FlagAt(block, b::kDirNames);
  o.overwrite = FlagAt(block, b::kOverwrite);
  const uint32_t password = WordAt(block, b::kPassword);
  if (password != 0) o.password = memory.Text(password, kMaxPassword);

  const uint32_t archiveName = WordAt(block, b::kArchiveName);
  if (archiveName != 0) out.archiveName = memory.Text(archiveName, kMaxPathText);
  if (out.archiveName.empty()) return BlockStatus::kNoArchiveName;

  const int32_t count = unzipabi::GetI32(block + b::kSpecCount);
  const uint32_t records = WordAt(block, b::kNewSpecRecords);
  if (count < 0 || count > kMaxFileSpecs || (count > 0 && records == 0)) return BlockStatus::kWrongLayout;
  o.fileSpecs.reserve(size_t(count));
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t text = memory.Word(records + uint32_t(i) * uint32_t(b::kSpecRecordSize));
    if (text != 0) o.fileSpecs.push_back(memory.Text(text, kMaxSpecText));
  }
  return BlockStatus::kOk;
}

}  // namespace unzip
