#include "zip_format.h"

#include <algorithm>

namespace zipfmt {

EndRecord EndRecord::Parse(const uint8_t* p) {
  EndRecord r;
  r.thisDisk = Get16(p + 4);
  r.directoryDisk = Get16(p + 6);
  r.entriesOnDisk = Get16(p + 8);
  r.totalEntries = Get16(p + 10);
  r.directorySize = Get32(p + 12);
  r.directoryOffset = Get32(p + 16);
  r.commentLength = Get16(p + 20);
  return r;
}

void EndRecord::Write(uint8_t* p) const {
  Put32(p, kEndRecordSig);
  Put16(p + 4, thisDisk);
  Put16(p + 6, directoryDisk);
  Put16(p + 8, entriesOnDisk);
  Put16(p + 10, totalEntries);
  Put32(p + 12, directorySize);
  Put32(p + 16, directoryOffset);
  Put16(p + 20, commentLength);
}

namespace {

EndRecordLocation Located(const uint8_t* tail, size_t tailLength, uint64_t fileSize, size_t at) {
  EndRecordLocation loc;
  loc.found = true;
  loc.recordOffset = fileSize - tailLength + at;
  loc.record = EndRecord::Parse(tail + at);
  const size_t commentStart = at + kEndRecordSize;
  const size_t available = tailLength - commentStart;
  const size_t commentBytes = std::min<size_t>(loc.record.commentLength, available);
  loc.comment.assign(reinterpret_cast<const char*>(tail + commentStart), commentBytes);
  loc.trailingBytes = int64_t(available) - int64_t(loc.record.commentLength);
  if (loc.trailingBytes > 0 && fileSize % 512 == 0 && loc.trailingBytes < 512) {
    const uint8_t* extra = tail + commentStart + loc.record.commentLength;
    loc.trailingIsPadding = std::all_of(extra, extra + loc.trailingBytes, [](uint8_t b) { return b == 0; });
  }
  return loc;
}

}  // namespace

EndRecordLocation FindEndRecord(const uint8_t* tail, size_t tailLength, uint64_t fileSize) {
  if (tailLength < kEndRecordSize || tailLength > fileSize) return {};
  const size_t last = tailLength - kEndRecordSize;
  if (Get32(tail + last) == kEndRecordSig) return Located(tail, tailLength, fileSize, last);
  // Backwards from 23 bytes before the end: a record followed by a comment.
  if (tailLength < kEndRecordSize + 1) return {};
  for (size_t i = tailLength - kEndRecordSize - 1;; --i) {
    if (tail[i] == 'P' && tail[i + 1] == 'K' && tail[i + 2] == 5 && tail[i + 3] == 6)
      return Located(tail, tailLength, fileSize, i);
    if (i == 0) break;
  }
  return {};
}

}  // namespace zipfmt
