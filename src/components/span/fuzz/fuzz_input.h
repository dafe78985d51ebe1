// How a fuzz input carries a multi-part set: one byte with the number of parts (1 to 6) and
// the largest piece a read returns (0: no limit), a 16-bit length for each part but the
// last, then the parts' bytes; the last part takes whatever remains.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "span_set_builder.h"

namespace spantest {

constexpr size_t kMaxFuzzParts = 6;

struct FuzzSet {
  Parts parts;
  size_t maxRead = static_cast<size_t>(-1);
};

inline FuzzSet DecodeFuzzInput(const uint8_t* data, size_t size) {
  FuzzSet set;
  if (size < 2) return set;
  const size_t count = 1 + data[0] % kMaxFuzzParts;
  if (data[1] != 0) set.maxRead = data[1];
  size_t at = 2;
  std::vector<size_t> lengths;
  for (size_t i = 0; i + 1 < count && at + 2 <= size; ++i, at += 2)
    lengths.push_back(size_t(data[at] | (data[at + 1] << 8)));
  for (size_t length : lengths) {
    const size_t n = std::min(length, size - at);
    set.parts.emplace_back(data + at, data + at + n);
    at += n;
  }
  set.parts.emplace_back(data + at, data + size);
  return set;
}

}  // namespace spantest
