#include "install_progress.h"

#include <cmath>

namespace install {

int FileShareInPercent(int32_t fileSize, int32_t totalSize) {
  const double total = double(uint32_t(totalSize));
  if (total == 0) return 0;
  // The default rounding mode rounds halves to the even neighbour.
  return int(std::nearbyint(double(fileSize) / total * 100.0));
}

}  // namespace install
