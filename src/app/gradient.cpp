#include "gradient.h"

#include <algorithm>

namespace app {

std::vector<GradientBand> GradientBands(int height) {
  std::vector<GradientBand> bands;
  if (height < 0) return bands;
  const int step = std::max(1, height / 255);
  int blue = 0;
  for (int y = height; y >= 0; --y) {
    if (y % step == 0) ++blue;
    const int b = std::min(blue, 255);
    if (!bands.empty() && bands.back().blue == b)
      bands.back().top = y;
    else
      bands.push_back({y, y, b});
  }
  return bands;
}

int GradientBlue(int row, int height) {
  for (const GradientBand& band : GradientBands(height))
    if (row >= band.top && row <= band.bottom) return band.blue;
  return 0;
}

}  // namespace app
