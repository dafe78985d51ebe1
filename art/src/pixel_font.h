// A 5 x 7 pixel font for the monochrome operator logos, where anti-aliasing has no place.
#pragma once

#include <string>
#include <vector>

namespace art {

// A 1-bit picture: true pixels are ink.
class Bitmap1 {
 public:
  Bitmap1(int width, int height) : width_(width), height_(height), ink_(width * height) {}
  int width() const { return width_; }
  int height() const { return height_; }
  bool at(int x, int y) const { return ink_[y * width_ + x]; }
  // Pixels outside the picture are ignored, so shapes may overhang its edges.
  void set(int x, int y, bool ink = true);
  const std::vector<bool>& pixels() const { return ink_; }

 private:
  int width_, height_;
  std::vector<bool> ink_;
};

constexpr int kPixelGlyphWidth = 5, kPixelGlyphHeight = 7;

bool pixelFontHas(char c);
// Width of the text in pixels at the given magnification, one column between letters.
int pixelTextWidth(const std::string& text, int zoom = 1);
// Draws upper-case text with its top-left corner at (x, y).
void drawPixelText(Bitmap1& bitmap, const std::string& text, int x, int y, int zoom = 1);

}  // namespace art
