// The unzip library's parameter block in memory: the block and every text and array whose
// address it carries, allocated where 32-bit addresses reach them and freed together.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "unzip_abi.h"

namespace ziparchive {

class ParameterBlock {
 public:
  // `values` supplies everything but the addresses of the texts and of the file-specification
  // records, which the block fills in. Throws std::bad_alloc when no low memory is left.
  ParameterBlock(int32_t libraryVersion, unzipabi::BlockValues values, const std::string& archiveName,
                 const std::string& password, const std::vector<std::string>& fileSpecs);
  ParameterBlock(const ParameterBlock&) = delete;
  ParameterBlock& operator=(const ParameterBlock&) = delete;
  // Specification texts in reverse order, then the record array, then the block.
  ~ParameterBlock();

  void* Address() const { return block_; }

 private:
  void FreeAll();
  void* Allocate(size_t size);
  uint32_t CopyText(const std::string& text, size_t bufferSize);

  std::vector<void*> pieces_;  // in allocation order
  void* block_ = nullptr;
};

}  // namespace ziparchive
