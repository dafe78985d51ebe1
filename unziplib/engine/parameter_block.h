// Reads the library's parameter block (the newer 148-byte layout) into extraction options.
// The block holds 32-bit addresses of the calling process; reading through them is left to a
// CallerMemory, so the block's layout is checked natively as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "unzip_engine.h"

namespace unzip {

class CallerMemory {
 public:
  virtual ~CallerMemory() = default;
  virtual uint32_t Word(uint32_t address) = 0;
  // The zero-terminated text at `address`, cut after `maxLength` bytes.
  virtual std::string Text(uint32_t address, size_t maxLength) = 0;
};

struct BlockContents {
  uint32_t caller = 0;
  uint32_t callback = 0;
  std::string archiveName;
  Options options;
};

enum class BlockStatus { kOk, kMissing, kWrongLayout, kNoArchiveName };

// More specifications than this are taken for a damaged block.
constexpr int32_t kMaxFileSpecs = 1 << 20;

// `block` points at the block's 148 bytes (null: kMissing). The caller and callback are read
// even when the block is otherwise unusable, so the library can still report why.
BlockStatus ReadBlock(const uint8_t* block, CallerMemory& memory, BlockContents& out);

}  // namespace unzip
