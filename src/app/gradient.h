// The background screen's vertical gradient: black at the bottom to full blue at the top,
// one blue step every D = height div 255 rows, painted from row `height` up to row 0.
#pragma once

#include <vector>

namespace app {

struct GradientBand {
  int top;     // first row of the band (inclusive)
  int bottom;  // last row of the band (inclusive)
  int blue;    // 1 to 255
};

// The rows from `height` down to 0 grouped into bands of equal blue, bottom band first.
// Screens lower than 255 rows step every row.
std::vector<GradientBand> GradientBands(int height);

// Blue of one row, as the band list gives it.
int GradientBlue(int row, int height);

}  // namespace app
