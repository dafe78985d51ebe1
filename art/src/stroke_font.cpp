#include "stroke_font.h"

#include <cstdlib>
#include <map>
#include <vector>

namespace art {

namespace {

// Glyph outlines in font units: capitals are 10 units high, y grows downwards from the
// cap line (0) to the baseline (10); lower case reaches up to 4 and descends to 13.
// "m x y" starts a stroke, "l x y" draws a line to a point, "a cx cy rx ry a0 a1" follows an
// arc from angle a0 to a1 (degrees, 0 right, 90 up); ";" separates strokes.
struct GlyphDef {
  char ch;
  float width;
  const char* path;
};

const GlyphDef kGlyphs[] = {
    {' ', 4, ""},
    {'A', 7.5f, "m0 10 l3.75 0 l7.5 10; m1.4 6.4 l6.1 6.4"},
    {'B', 6.5f, "m0 10 l0 0 l3.8 0 a3.8 2.5 2.5 2.5 90 -90 l0 5; m3.8 5 a3.8 7.5 2.7 2.5 90 -90 l0 10"},
    {'C', 7.5f, "a4 5 4 5 45 315"},
    {'D', 7, "m0 0 l0 10 l2.5 10 a2.5 5 4.5 5 -90 90 l0 0"},
    {'E', 6, "m6 0 l0 0 l0 10 l6 10; m0 5 l4.8 5"},
    {'F', 6, "m6 0 l0 0 l0 10; m0 5 l4.8 5"},
    {'G', 8, "a4 5 4 5 40 360 l4.6 5"},
    {'H', 7, "m0 0 l0 10; m7 0 l7 10; m0 5 l7 5"},
    {'I', 0, "m0 0 l0 10"},
    {'J', 5, "m5 0 l5 7 a2.5 7 2.5 3 0 -180"},
    {'K', 6.5f, "m0 0 l0 10; m6.5 0 l0 6.2; m2.3 4.3 l6.5 10"},
    {'L', 5.5f, "m0 0 l0 10 l5.5 10"},
    {'M', 8.5f, "m0 10 l0 0 l4.25 7 l8.5 0 l8.5 10"},
    {'N', 7, "m0 10 l0 0 l7 10 l7 0"},
    {'O', 8.5f, "a4.25 5 4.25 5 0 360"},
    {'P', 6.5f, "m0 10 l0 0 l3.7 0 a3.7 2.75 2.8 2.75 90 -90 l0 5.5"},
    {'Q', 8.5f, "a4.25 5 4.25 5 0 360; m5 7 l8.5 10.5"},
    {'R', 6.5f, "m0 10 l0 0 l3.7 0 a3.7 2.75 2.8 2.75 90 -90 l0 5.5; m3.5 5.5 l6.5 10"},
    {'S', 6.5f, "a3.3 2.5 3 2.5 25 270 a3.3 7.5 3.2 2.5 90 -155"},
    {'T', 7, "m0 0 l7 0; m3.5 0 l3.5 10"},
    {'U', 7, "m0 0 l0 6.5 a3.5 6.5 3.5 3.5 180 360 l7 0"},
    {'V', 7.5f, "m0 0 l3.75 10 l7.5 0"},
    {'W', 10.5f, "m0 0 l2.6 10 l5.25 2 l7.9 10 l10.5 0"},
    {'X', 7, "m0 0 l7 10; m7 0 l0 10"},
    {'Y', 7, "m0 0 l3.5 5 l7 0; m3.5 5 l3.5 10"},
    {'Z', 6.5f, "m0 0 l6.5 0 l0 10 l6.5 10"},
    {'a', 6, "a3 7 3 3 0 360; m6 4 l6 10"},
    {'b', 6, "m0 0 l0 10; a3 7 3 3 0 360"},
    {'c', 5.5f, "a3 7 3 3 50 310"},
    {'d', 6, "m6 0 l6 10; a3 7 3 3 0 360"},
    {'e', 6, "m0.2 7 l6 7 a3 7 3 3 0 310"},
    {'f', 4.5f, "a3.5 2 1.6 2 30 180 l1.9 10; m0 4 l4.3 4"},
    {'g', 6, "a3 7 3 3 0 360; m6 4 l6 11 a3 11 3 2 0 -170"},
    {'h', 6, "m0 0 l0 10; m0 7 a3 7 3 3 180 0 l6 10"},
    {'i', 0, "m0 4 l0 10; m0 1.6 l0 1.7"},
    {'j', 2.5f, "m2.5 4 l2.5 11 a0.7 11 1.8 2 0 -120; m2.5 1.6 l2.5 1.7"},
    {'k', 5.5f, "m0 0 l0 10; m5.2 4 l0 8; m1.9 6.7 l5.5 10"},
    {'l', 0, "m0 0 l0 10"},
    {'m', 9, "m0 4 l0 10; m0 6.5 a2.25 6.5 2.25 2.5 180 0 l4.5 10; m4.5 6.5 a6.75 6.5 2.25 2.5 180 0 l9 10"},
    {'n', 6, "m0 4 l0 10; m0 7 a3 7 3 3 180 0 l6 10"},
    {'o', 6.5f, "a3.25 7 3.25 3 0 360"},
    {'p', 6, "m0 4 l0 13; a3 7 3 3 0 360"},
    {'q', 6, "m6 4 l6 13; a3 7 3 3 0 360"},
    {'r', 4.5f, "m0 4 l0 10; m0 7 a3.5 7 3.5 3 180 65"},
    {'s', 5, "a2.6 5.5 2.3 1.5 20 270 a2.6 8.5 2.5 1.5 90 -165"},
    {'t', 4.5f, "m1.8 1.5 l1.8 8.4 a3.6 8.4 1.8 1.6 180 290; m0 4 l4.3 4"},
    {'u', 6, "m0 4 l0 7 a3 7 3 3 180 360; m6 4 l6 10"},
    {'v', 6, "m0 4 l3 10 l6 4"},
    {'w', 9, "m0 4 l2.1 10 l4.5 4.6 l6.9 10 l9 4"},
    {'x', 6, "m0 4 l6 10; m6 4 l0 10"},
    {'y', 6, "m0 4 l3.1 10; m6 4 l1.6 13"},
    {'z', 5.5f, "m0 4 l5.5 4 l0 10 l5.5 10"},
    {'0', 6, "a3 5 3 5 0 360"},
    {'1', 4, "m0.5 2.2 l3 0 l3 10"},
    {'2', 6, "a3 3 3 3 160 -40 l0 10 l6 10"},
    {'3', 6, "a3 2.5 2.8 2.5 150 -90 a3 7.5 3 2.5 90 -150"},
    {'4', 6.5f, "m5 10 l5 0 l0 7 l6.5 7"},
    {'5', 6, "m5.8 0 l1 0 l0.5 4.6 a3 7 3 3 140 -150"},
    {'6', 6, "a3 7 3 3 0 360; m0 7 l0 5 a3.5 5 3.5 5 180 60"},
    {'7', 6, "m0 0 l6 0 l2 10"},
    {'8', 6, "a3 2.5 2.6 2.5 0 360; a3 7.5 3 2.5 0 360"},
    {'9', 6, "a3 3 3 3 0 360; m6 3 l6 5 a2.5 5 3.5 5 0 -120"},
    {'.', 0, "m0 9.9 l0 10"},
    {',', 1, "m1 9.6 l0 11.8"},
    {'-', 4, "m0 6 l4 6"},
    {'!', 0, "m0 0 l0 7; m0 9.9 l0 10"},
    {'?', 5.5f, "a2.75 2.8 2.75 2.8 160 -80 l3 5.6 l3 7; m3 9.9 l3 10"},
    {':', 0, "m0 4.5 l0 4.6; m0 9.9 l0 10"},
    {'/', 5, "m0 11 l5 -1"},
    {'\'', 0, "m0 0 l0 2.5"},
    {'&', 7, "m7 10 l1.4 3.6 a3 2.2 1.6 2.2 200 -20 l0.8 6.8 a2.8 8 2.8 2 180 300 l6.8 5"},
};

using Stroke = std::vector<Point>;

struct Glyph {
  float width = 0;
  std::vector<Stroke> strokes;
};

Glyph parse(const GlyphDef& def) {
  Glyph g;
  g.width = def.width;
  const char* p = def.path;
  auto number = [&p] {
    char* end = nullptr;
    float v = std::strtof(p, &end);
    p = end;
    return v;
  };
  bool open = false;  // the next point continues the current stroke
  while (*p) {
    char cmd = *p++;
    if (cmd == 'm') {
      float x = number(), y = number();
      g.strokes.push_back({{x, y}});
      open = true;
    } else if (cmd == 'l') {
      float x = number(), y = number();
      g.strokes.back().push_back({x, y});
    } else if (cmd == 'a') {
      float cx = number(), cy = number(), rx = number(), ry = number();
      float a0 = number(), a1 = number();
      if (!open) g.strokes.emplace_back();
      open = true;
      for (const Point& q : arcPoints({cx, cy}, rx, ry, a0, a1)) g.strokes.back().push_back(q);
    } else if (cmd == ';') {
      open = false;
    }
  }
  return g;
}

const std::map<char, Glyph>& glyphs() {
  static const std::map<char, Glyph> table = [] {
    std::map<char, Glyph> t;
    for (const GlyphDef& def : kGlyphs) t[def.ch] = parse(def);
    return t;
  }();
  return table;
}

// Space between two glyphs in font units, besides the pen width.
constexpr float kSpacing = 2.4f;

}  // namespace

bool canDraw(const std::string& text) {
  for (char c : text)
    if (!glyphs().count(c)) return false;
  return true;
}

float textWidth(const std::string& text, const TextStyle& style) {
  float unit = style.capHeight / 10.0f;
  float w = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    auto it = glyphs().find(text[i]);
    if (it == glyphs().end()) continue;
    w += it->second.width * unit + style.penWidth;
    if (i + 1 < text.size()) w += kSpacing * unit + style.tracking;
  }
  return w;
}

TextStyle fitText(const std::string& text, TextStyle style, float maxCap, float width) {
  const float ratio = style.penWidth / style.capHeight;
  for (float cap = maxCap; cap > 4; cap -= 0.25f) {
    style.capHeight = cap;
    style.penWidth = cap * ratio;
    if (textWidth(text, style) <= width) break;
  }
  return style;
}

void drawText(Mask& mask, const std::string& text, float x, float baseline, const TextStyle& style) {
  float unit = style.capHeight / 10.0f;
  float pen = x + style.penWidth / 2;
  for (char c : text) {
    auto it = glyphs().find(c);
    if (it == glyphs().end()) continue;
    for (const Stroke& stroke : it->second.strokes) {
      std::vector<Point> pts;
      for (const Point& p : stroke) {
        float rise = (10.0f - p.y) * unit;
        pts.push_back({pen + p.x * unit + style.slant * rise, baseline - rise});
      }
      strokePolyline(mask, pts, style.penWidth, style.shape);
    }
    pen += it->second.width * unit + style.penWidth + kSpacing * unit + style.tracking;
  }
}

}  // namespace art
