// The copy-progress bar's arithmetic: each extracted file adds its own rounded share of the
// archive's total size in percent.
#pragma once

#include <cstdint>

namespace install {

// nearest(fileSize / totalSize x 100), halves to the even neighbour, with the total taken as
// an unsigned 32-bit number. A total of 0 (the library reported none) adds nothing.
int FileShareInPercent(int32_t fileSize, int32_t totalSize);

}  // namespace install
