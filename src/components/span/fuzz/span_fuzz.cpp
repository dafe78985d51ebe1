// Joins a fuzzed multi-part set. Besides the sanitizers' checks, a join that succeeds must
// have written a single-disk archive whose directory points at local headers. Every byte
// the join copies is read once, front to back from disk 0 after the marker; only the end
// record and the archive comment are written from what was found at the end of the last
// part, so the joined archive is never larger than the parts and those two together.
#include <cstdio>
#include <cstdlib>

#include "fuzz_input.h"
#include "memory_parts.h"
#include "span_join.h"

using namespace spantest;
using zipfmt::Get16;
using zipfmt::Get32;

namespace {

void Fail(int line) {
  std::fprintf(stderr, "span_fuzz: check on line %d failed\n", line);
  std::abort();
}
#define Check(condition) ((condition) ? void() : Fail(__LINE__))

void CheckJoined(const Bytes& out, size_t inputSize, const span::JoinSummary& summary) {
  Check(summary.bytesWritten == out.size());
  const size_t endAt = size_t(summary.endRecordOffset);
  Check(endAt + zipfmt::kEndRecordSize <= out.size());
  Check(Get32(&out[endAt]) == zipfmt::kEndRecordSig);
  const zipfmt::EndRecord end = zipfmt::EndRecord::Parse(&out[endAt]);
  Check(endAt <= inputSize - 4 && out.size() <= inputSize - 4 + zipfmt::kEndRecordSize + end.commentLength);
  Check(end.thisDisk == 0 && end.directoryDisk == 0);
  Check(end.entriesOnDisk == end.totalEntries && end.totalEntries == summary.entries);
  Check(endAt + zipfmt::kEndRecordSize + end.commentLength == out.size());
  size_t at = end.directoryOffset;
  Check(uint64_t(at) + end.directorySize == endAt);
  for (unsigned i = 0; i < end.totalEntries; ++i) {
    Check(at + zipfmt::kCentralHeaderSize <= endAt);
    const uint8_t* h = &out[at];
    Check(Get32(h) == zipfmt::kCentralHeaderSig);
    Check(Get16(h + zipfmt::central::kDiskStart) == 0);
    const size_t localAt = Get32(h + zipfmt::central::kLocalOffset);
    Check(localAt + zipfmt::kLocalHeaderSize <= end.directoryOffset);
    Check(Get32(&out[localAt]) == zipfmt::kLocalHeaderSig);
    at += zipfmt::kCentralHeaderSize + Get16(h + zipfmt::central::kNameLen) + Get16(h + zipfmt::central::kExtraLen) +
          Get16(h + zipfmt::central::kCommentLen);
  }
  Check(at == endAt);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSet set = DecodeFuzzInput(data, size);
  if (set.parts.empty()) return 0;
  size_t inputSize = 0;
  for (const Bytes& p : set.parts) inputSize += p.size();
  MemoryPartSource source(std::move(set.parts), "setup003.zip");
  source.maxRead = set.maxRead;
  MemorySink sink;
  NoEvents events;
  span::JoinSummary summary;
  try {
    summary = span::JoinParts(source, sink, events);
  } catch (const zipfmt::ZipError&) {
    Check(sink.bytes.size() <= inputSize);
    return 0;
  }
  CheckJoined(sink.bytes, inputSize, summary);
  return 0;
}
