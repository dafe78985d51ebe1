// The arithmetic and composition of the gradient progress bar, free of Win32: columns filled
// for a progress value, the colour of each column, the text position and the transfer of the
// text layer with its inverse colour over the filled part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace progress {

// v taken to the nearest integer, a value exactly halfway going to the even neighbour.
// Values beyond the int range are clamped to it.
int Nearest(double v);

// Channel bytes of a colour value with red in the low byte (the COLORREF order).
inline int Red(uint32_t color) { return int(color & 0xFF); }
inline int Green(uint32_t color) { return int((color >> 8) & 0xFF); }
inline int Blue(uint32_t color) { return int((color >> 16) & 0xFF); }
inline uint32_t MakeColor(int red, int green, int blue) {
  return uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
}

// Inner width of a bar `width` pixels wide inside its one-pixel border (0 when none).
int InnerWidth(int width);
// Number of filled columns n = nearest(progress / 100 x inner width); 0 or less fills none.
int FilledColumns(int progress, int width);
// Colour of inner column x (1 .. inner width) of the gradient laid over the full inner width:
// nearest(t x To + (1 - t) x From) per channel with t = x / inner width.
uint32_t ColumnColor(int x, int innerWidth, uint32_t fromColor, uint32_t toColor);
// Each of the red, green and blue bytes replaced by 255 minus itself.
uint32_t InverseColor(uint32_t color);
// Left edge of a text `textWidth` wide centred in `width`: W div 2 - TextWidth div 2
// (the same rule gives the top edge from the heights).
int CentredStart(int size, int textSize);

// The bar's properties, colours already resolved to plain RGB values (COLORREF order).
struct BarColors {
  uint32_t back = 0xFFFFFF;
  uint32_t border = 0;
  uint32_t from = 0x00FF00;
  uint32_t to = 0x0000FF;
};

// A picture of width x height pixels, row by row from the top, each pixel 0x00RRGGBB as a
// 32-bit top-down bitmap section holds it.
struct Pixels {
  int width = 0;
  int height = 0;
  uint32_t* data = nullptr;  // width * height values, owned by the caller
  uint32_t& At(int x, int y) const { return data[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

uint32_t PixelFromColor(uint32_t color);
uint32_t ColorFromPixel(uint32_t pixel);

// Border, background and the gradient columns 1 .. n, rows 1 .. height - 2.
void DrawBar(const Pixels& back, const BarColors& colors, int progress);

// Copies the pixels of the text layer that have exactly the text colour onto the back buffer:
// inverted where textLeft < x < n, as they are elsewhere. Other pixels are not transferred.
void TransferText(const Pixels& textLayer, const Pixels& back, uint32_t textColor, int textLeft, int filledColumns);

// The background of the text layer: white, or black when the text itself is white, so that
// the background never counts as text.
uint32_t TextLayerBackground(uint32_t textColor);

}  // namespace progress
