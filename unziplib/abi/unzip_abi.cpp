#include "unzip_abi.h"

#include <algorithm>

namespace unzipabi {

std::vector<uint8_t> BuildBlock(int32_t libraryVersion, const BlockValues& v) {
  const bool newer = libraryVersion > kLastOldLayoutVersion;
  std::vector<uint8_t> b(newer ? block::kNewSize : block::kOldSize, 0);
  uint8_t* p = b.data();
  PutI32(p + block::kOwnerWindow, int32_t(v.ownerWindow));
  PutI32(p + block::kCaller, int32_t(v.caller));
  PutI32(p + block::kCallerVersion, kCallerVersion);
  PutI32(p + block::kCallback, int32_t(v.callback));
  PutI32(p + block::kTrace, Flag(v.trace));
  PutI32(p + block::kPassword, int32_t(v.password));
  PutI32(p + block::kTest, Flag(v.test));
  PutI32(p + block::kAlwaysYes, kFlagYes);
  PutI32(p + block::kVerbose, Flag(v.verbose || v.trace));
  PutI32(p + block::kUpdate, Flag(v.update));
  PutI32(p + block::kFreshen, Flag(v.freshen && !v.update));
  PutI32(p + block::kDirNames, Flag(v.dirNames));
  PutI32(p + block::kOverwrite, Flag(v.overwrite));
  PutI32(p + block::kArchiveName, int32_t(v.archiveName));
  if (newer) {
    PutI32(p + block::kSpecCount, int32_t(v.specTexts.size()));
    PutI32(p + block::kNewSpecRecords, int32_t(v.specRecords));
    PutI32(p + block::kNewClosingMark, kClosingMark);
  } else {
    const size_t count = std::min(v.specTexts.size(), block::kOldMaxSpecs);
    PutI32(p + block::kSpecCount, int32_t(count));
    PutI32(p + block::kOldClosingMark, kClosingMark);
    for (size_t i = 0; i < count; ++i) PutI32(p + block::kOldSpecAddresses + 4 * i, int32_t(v.specTexts[i]));
  }
  return b;
}

std::vector<uint8_t> BuildSpecRecords(const std::vector<uint32_t>& specTexts) {
  std::vector<uint8_t> r(specTexts.size() * block::kSpecRecordSize, 0);
  for (size_t i = 0; i < specTexts.size(); ++i) PutI32(r.data() + i * block::kSpecRecordSize, int32_t(specTexts[i]));
  return r;
}

}  // namespace unzipabi
