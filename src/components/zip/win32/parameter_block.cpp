#include "parameter_block.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace ziparchive {

ParameterBlock::ParameterBlock(int32_t libraryVersion, unzipabi::BlockValues values, const std::string& archiveName,
                               const std::string& password, const std::vector<std::string>& fileSpecs) {
  try {
    const bool newer = libraryVersion > unzipabi::kLastOldLayoutVersion;
    const size_t blockSize = newer ? unzipabi::block::kNewSize : unzipabi::block::kOldSize;
    block_ = Allocate(blockSize);
    values.password = CopyText(password.substr(0, unzipabi::kPasswordBufferSize - 1), unzipabi::kPasswordBufferSize);
    values.archiveName = CopyText(archiveName, archiveName.size() + 1);
    void* records = nullptr;
    if (newer && !fileSpecs.empty()) records = Allocate(fileSpecs.size() * unzipabi::block::kSpecRecordSize);
    values.specTexts.clear();
    for (const std::string& spec : fileSpecs) values.specTexts.push_back(CopyText(spec, spec.size() + 1));
    if (records) {
      const std::vector<uint8_t> bytes = unzipabi::BuildSpecRecords(values.specTexts);
      std::memcpy(records, bytes.data(), bytes.size());
      values.specRecords = unzipabi::Address32(records);
    }
    const std::vector<uint8_t> bytes = unzipabi::BuildBlock(libraryVersion, values);
    std::memcpy(block_, bytes.data(), bytes.size());
  } catch (...) {
    FreeAll();
    throw;
  }
}

ParameterBlock::~ParameterBlock() { FreeAll(); }

void ParameterBlock::FreeAll() {
  for (auto it = pieces_.rbegin(); it != pieces_.rend(); ++it) unzipabi::LowFree(*it);
  pieces_.clear();
  block_ = nullptr;
}

void* ParameterBlock::Allocate(size_t size) {
  pieces_.reserve(pieces_.size() + 1);
  void* p = unzipabi::LowAlloc(size);
  if (!p || unzipabi::Address32(p) == 0) {
    unzipabi::LowFree(p);
    throw std::bad_alloc();
  }
  pieces_.push_back(p);
  return p;
}

uint32_t ParameterBlock::CopyText(const std::string& text, size_t bufferSize) {
  char* p = static_cast<char*>(Allocate(bufferSize));
  std::memcpy(p, text.data(), std::min(text.size(), bufferSize - 1));
  return unzipabi::Address32(p);
}

}  // namespace ziparchive
