#include "progress_bar.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace progress {

int Nearest(double v) {
  if (std::isnan(v)) return 0;
  if (v >= double(INT_MAX)) return INT_MAX;
  if (v <= double(INT_MIN)) return INT_MIN;
  const double below = std::floor(v);
  const double fraction = v - below;
  long long n = static_cast<long long>(below);
  if (fraction > 0.5 || (fraction == 0.5 && n % 2 != 0)) ++n;
  return static_cast<int>(std::min<long long>(n, INT_MAX));
}

int InnerWidth(int width) { return width > 2 ? width - 2 : 0; }

int FilledColumns(int progress, int width) {
  const int inner = InnerWidth(width);
  const int n = Nearest(double(progress) / 100.0 * double(inner));
  return std::clamp(n, 0, inner);
}

uint32_t ColumnColor(int x, int innerWidth, uint32_t fromColor, uint32_t toColor) {
  if (innerWidth <= 0) return toColor & 0xFFFFFF;
  const double t = double(x) / double(innerWidth);
  const double s = 1.0 - t;
  const auto mix = [t, s](int to, int from) { return Nearest(t * to + s * from); };
  return MakeColor(mix(Red(toColor), Red(fromColor)), mix(Green(toColor), Green(fromColor)),
                   mix(Blue(toColor), Blue(fromColor)));
}

uint32_t InverseColor(uint32_t color) { return ~color & 0xFFFFFF; }

int CentredStart(int size, int textSize) { return size / 2 - textSize / 2; }

uint32_t PixelFromColor(uint32_t color) {
  return uint32_t(Blue(color)) | (uint32_t(Green(color)) << 8) | (uint32_t(Red(color)) << 16);
}

uint32_t ColorFromPixel(uint32_t pixel) { return PixelFromColor(pixel); }

void DrawBar(const Pixels& back, const BarColors& colors, int progress) {
  const int w = back.width, h = back.height;
  if (w <= 0 || h <= 0) return;
  const uint32_t border = PixelFromColor(colors.border), fill = PixelFromColor(colors.back);
  for (int y = 0; y < h; ++y) {
    const bool edgeRow = y == 0 || y == h - 1;
    for (int x = 0; x < w; ++x) back.At(x, y) = (edgeRow || x == 0 || x == w - 1) ? border : fill;
  }
  const int inner = InnerWidth(w);
  const int n = FilledColumns(progress, w);
  for (int x = 1; x <= n; ++x) {
    const uint32_t pixel = PixelFromColor(ColumnColor(x, inner, colors.from, colors.to));
    for (int y = 1; y <= h - 2; ++y) back.At(x, y) = pixel;
  }
}

void TransferText(const Pixels& textLayer, const Pixels& back, uint32_t textColor, int textLeft, int filledColumns) {
  const uint32_t text = PixelFromColor(textColor);
  const int w = std::min(textLayer.width, back.width), h = std::min(textLayer.height, back.height);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t pixel = textLayer.At(x, y) & 0xFFFFFF;
      if (pixel != text) continue;
      back.At(x, y) = (textLeft < x && x < filledColumns) ? InverseColor(pixel) : pixel;
    }
  }
}

uint32_t TextLayerBackground(uint32_t textColor) { return (textColor & 0xFFFFFF) == 0xFFFFFF ? 0x000000 : 0xFFFFFF; }

}  // namespace progress
