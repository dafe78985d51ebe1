#include "raster.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr float kPi = 3.14159265358979f;

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

// Coverage of a pixel whose centre lies at signed distance d from a shape's edge.
float coverageFromDistance(float d, ShapeStyle s) {
  if (s.sharp) return d <= 0 ? 1.0f : 0.0f;
  return clamp01(0.5f - d);
}

// Calls fn(x, y, centreX, centreY) for every pixel of the box, clipped to the mask.
template <typename Fn>
void forBox(Mask& m, float x0, float y0, float x1, float y1, Fn fn) {
  int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
  int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
  int ix1 = std::min(m.width() - 1, static_cast<int>(std::ceil(x1)) + 1);
  int iy1 = std::min(m.height() - 1, static_cast<int>(std::ceil(y1)) + 1);
  for (int y = iy0; y <= iy1; ++y)
    for (int x = ix0; x <= ix1; ++x) fn(x, y, x + 0.5f, y + 0.5f);
}

float segmentDistance(Point p, Point a, Point b) {
  float bx = b.x - a.x, by = b.y - a.y;
  float px = p.x - a.x, py = p.y - a.y;
  float len2 = bx * bx + by * by;
  float t = len2 > 0 ? clamp01((px * bx + py * by) / len2) : 0.0f;
  float dx = px - t * bx, dy = py - t * by;
  return std::sqrt(dx * dx + dy * dy);
}

bool insidePolygon(const std::vector<Point>& pts, float x, float y) {
  bool inside = false;
  for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
    const Point& a = pts[i];
    const Point& b = pts[j];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
  }
  return inside;
}

}  // namespace

Color rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

Color mix(Color a, Color b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Color scale(Color c, float factor) { return {c.r * factor, c.g * factor, c.b * factor}; }

Mask::Mask(int width, int height) : width_(width), height_(height), cover_(static_cast<size_t>(width) * height, 0.0f) {}

void Mask::add(int x, int y, float coverage) {
  float& c = cover_[index(x, y)];
  c = std::max(c, coverage);
}

void Mask::scaleAll(float factor) {
  for (float& c : cover_) c *= factor;
}

void Mask::clear() { std::fill(cover_.begin(), cover_.end(), 0.0f); }

void Mask::blur(int radius) {
  if (radius <= 0) return;
  std::vector<float> tmp(cover_.size());
  auto pass = [&](bool horizontal) {
    int lines = horizontal ? height_ : width_;
    int len = horizontal ? width_ : height_;
    for (int l = 0; l < lines; ++l) {
      auto at = [&](int i) {
        i = std::min(len - 1, std::max(0, i));
        return horizontal ? index(i, l) : index(l, i);
      };
      float sum = 0;
      for (int i = -radius; i <= radius; ++i) sum += cover_[at(i)];
      for (int i = 0; i < len; ++i) {
        tmp[at(i)] = sum / (2 * radius + 1);
        sum += cover_[at(i + radius + 1)] - cover_[at(i - radius)];
      }
    }
    cover_.swap(tmp);
  };
  for (int i = 0; i < 3; ++i) {
    pass(true);
    pass(false);
  }
}

Mask Mask::shifted(int dx, int dy) const {
  Mask out(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      int sx = x - dx, sy = y - dy;
      if (sx >= 0 && sy >= 0 && sx < width_ && sy < height_) out.cover_[index(x, y)] = cover_[index(sx, sy)];
    }
  return out;
}

void Mask::subtract(const Mask& other) {
  for (size_t i = 0; i < cover_.size(); ++i) cover_[i] = std::max(0.0f, cover_[i] - other.cover_[i]);
}

Image::Image(int width, int height, Color fill)
    : width_(width),
      height_(height),
      px_(static_cast<size_t>(width) * height, fill),
      alpha_(static_cast<size_t>(width) * height, 1.0f) {}

void Image::setAlpha(float value) { std::fill(alpha_.begin(), alpha_.end(), value); }

void Image::composite(const Mask& mask, Color color, float opacity) {
  composite(
      mask, [color](int, int) { return color; }, opacity);
}

void Image::composite(const Mask& mask, const std::function<Color(int, int)>& shade, float opacity) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      float t = mask.at(x, y) * opacity;
      if (t <= 0) continue;
      size_t i = index(x, y);
      px_[i] = mix(px_[i], shade(x, y), t);
      alpha_[i] = alpha_[i] + t * (1.0f - alpha_[i]);
    }
}

void Image::fill(const std::function<Color(int, int)>& shade) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) px_[index(x, y)] = shade(x, y);
}

void Image::verticalGradient(Color top, Color bottom) {
  float span = static_cast<float>(std::max(1, height_ - 1));
  fill([&](int, int y) { return mix(top, bottom, y / span); });
}

std::vector<std::uint8_t> Image::toRgb8() const {
  std::vector<std::uint8_t> out;
  out.reserve(px_.size() * 3);
  auto byte = [](float v) { return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255)); };
  for (const Color& c : px_) {
    out.push_back(byte(c.r));
    out.push_back(byte(c.g));
    out.push_back(byte(c.b));
  }
  return out;
}

void fillCircle(Mask& m, Point c, float radius, ShapeStyle s) { fillEllipse(m, c, radius, radius, s); }

void fillEllipse(Mask& m, Point c, float rx, float ry, ShapeStyle s) {
  forBox(m, c.x - rx, c.y - ry, c.x + rx, c.y + ry, [&](int x, int y, float px, float py) {
    float nx = (px - c.x) / rx, ny = (py - c.y) / ry;
    float k = std::sqrt(nx * nx + ny * ny);
    // Distance estimate: the implicit function divided by its gradient length.
    float gx = nx / rx, gy = ny / ry;
    float g = std::sqrt(gx * gx + gy * gy);
    float d = g > 1e-6f ? (k - 1.0f) * k / g : -std::min(rx, ry);
    m.add(x, y, coverageFromDistance(d, s));
  });
}

void fillRoundRect(Mask& m, float x0, float y0, float x1, float y1, float radius, ShapeStyle s) {
  float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  forBox(m, x0, y0, x1, y1, [&](int x, int y, float px, float py) {
    float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    float d = std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
    m.add(x, y, coverageFromDistance(d, s));
  });
}

void fillRect(Mask& m, float x0, float y0, float x1, float y1, ShapeStyle s) {
  fillRoundRect(m, x0, y0, x1, y1, 0.0f, s);
}

void fillPolygon(Mask& m, const std::vector<Point>& pts, ShapeStyle s) {
  if (pts.size() < 3) return;
  float x0 = pts[0].x, x1 = pts[0].x, y0 = pts[0].y, y1 = pts[0].y;
  for (const Point& p : pts) {
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  const int grid = s.sharp ? 1 : 4;
  forBox(m, x0, y0, x1, y1, [&](int x, int y, float, float) {
    int hits = 0;
    for (int sy = 0; sy < grid; ++sy)
      for (int sx = 0; sx < grid; ++sx) hits += insidePolygon(pts, x + (sx + 0.5f) / grid, y + (sy + 0.5f) / grid);
    m.add(x, y, static_cast<float>(hits) / (grid * grid));
  });
}

void strokeSegment(Mask& m, Point a, Point b, float width, ShapeStyle s) {
  float r = width / 2;
  forBox(m, std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r, std::max(a.y, b.y) + r,
         [&](int x, int y, float px, float py) {
           float d = segmentDistance({px, py}, a, b) - r;
           m.add(x, y, coverageFromDistance(d, s));
         });
}

void strokePolyline(Mask& m, const std::vector<Point>& pts, float width, ShapeStyle s) {
  if (pts.size() == 1) strokeSegment(m, pts[0], pts[0], width, s);
  for (size_t i = 1; i < pts.size(); ++i) strokeSegment(m, pts[i - 1], pts[i], width, s);
}

std::vector<Point> arcPoints(Point c, float rx, float ry, float a0, float a1) {
  int steps = std::max(2, static_cast<int>(std::fabs(a1 - a0) / 6.0f));
  std::vector<Point> pts;
  for (int i = 0; i <= steps; ++i) {
    float a = (a0 + (a1 - a0) * i / steps) * kPi / 180.0f;
    pts.push_back({c.x + rx * std::cos(a), c.y - ry * std::sin(a)});
  }
  return pts;
}

void strokeArc(Mask& m, Point c, float radius, float a0, float a1, float width, ShapeStyle s) {
  strokePolyline(m, arcPoints(c, radius, radius, a0, a1), width, s);
}

std::uint32_t Random::next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

float Random::uniform() { return (next() >> 8) / 16777216.0f; }

}  // namespace art
