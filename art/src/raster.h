// Floating-point drawing surface for the built-in pictures. Shapes are rendered into a
// coverage mask first (anti-aliased through signed distances or supersampling) and then
// composited onto the image with a colour, so every shape can also cast a shadow or glow.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace art {

struct Color {
  float r = 0, g = 0, b = 0;
};

Color rgb(int r, int g, int b);
Color mix(Color a, Color b, float t);
Color scale(Color c, float factor);

struct Point {
  float x = 0, y = 0;
};

// Coverage in [0, 1] per pixel.
class Mask {
 public:
  Mask(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  float at(int x, int y) const { return cover_[index(x, y)]; }
  // Union with a coverage value: the larger one wins.
  void add(int x, int y, float coverage);
  void scaleAll(float factor);
  void clear();
  // Box blur applied three times, close to a Gaussian of the given radius.
  void blur(int radius);
  Mask shifted(int dx, int dy) const;
  // Removes the coverage of another mask (cut-out).
  void subtract(const Mask& other);

 private:
  int index(int x, int y) const { return y * width_ + x; }
  int width_, height_;
  std::vector<float> cover_;
};

class Image {
 public:
  Image(int width, int height, Color fill = {});
  int width() const { return width_; }
  int height() const { return height_; }
  Color at(int x, int y) const { return px_[index(x, y)]; }
  void set(int x, int y, Color c) { px_[index(x, y)] = c; }
  // Painted share of the pixel; pictures with a transparent background (icons) use it.
  float alpha(int x, int y) const { return alpha_[index(x, y)]; }
  void setAlpha(float value);

  void composite(const Mask& mask, Color color, float opacity = 1.0f);
  void composite(const Mask& mask, const std::function<Color(int x, int y)>& shade, float opacity = 1.0f);
  void fill(const std::function<Color(int x, int y)>& shade);
  void verticalGradient(Color top, Color bottom);

  // 8-bit RGB rows from the top, 3 bytes a pixel.
  std::vector<std::uint8_t> toRgb8() const;

 private:
  int index(int x, int y) const { return y * width_ + x; }
  int width_, height_;
  std::vector<Color> px_;
  std::vector<float> alpha_;
};

// Shapes added to a mask. Distance-based shapes are anti-aliased; pass sharp = true for
// pixel-exact edges (small icons that are reduced to 16 colours).
struct ShapeStyle {
  bool sharp = false;
};

void fillCircle(Mask& m, Point c, float radius, ShapeStyle s = {});
void fillEllipse(Mask& m, Point c, float rx, float ry, ShapeStyle s = {});
void fillRoundRect(Mask& m, float x0, float y0, float x1, float y1, float radius, ShapeStyle s = {});
void fillRect(Mask& m, float x0, float y0, float x1, float y1, ShapeStyle s = {});
void fillPolygon(Mask& m, const std::vector<Point>& pts, ShapeStyle s = {});
// A thick line with round ends; a polyline is a chain of such segments.
void strokeSegment(Mask& m, Point a, Point b, float width, ShapeStyle s = {});
void strokePolyline(Mask& m, const std::vector<Point>& pts, float width, ShapeStyle s = {});
// Arc of a circle from angle a0 to a1 in degrees, 0 pointing right and 90 pointing up.
void strokeArc(Mask& m, Point c, float radius, float a0, float a1, float width, ShapeStyle s = {});
std::vector<Point> arcPoints(Point c, float rx, float ry, float a0, float a1);

// Small deterministic random numbers (xorshift), so every build draws the same picture.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed ? seed : 1) {}
  std::uint32_t next();
  float uniform();  // [0, 1)
  float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

 private:
  std::uint32_t state_;
};

}  // namespace art
