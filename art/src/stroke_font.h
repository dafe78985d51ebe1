// A small stroke font of our own: every glyph is a set of centre lines (straight pieces and
// elliptic arcs) drawn with round pens, so one description serves every size and weight.
#pragma once

#include <string>

#include "raster.h"

namespace art {

struct TextStyle {
  float capHeight = 20;  // pixels from baseline to the top of a capital
  float penWidth = 3;    // stroke width in pixels
  float slant = 0;       // horizontal shift per unit of height (0.2 = light italic)
  float tracking = 0;    // extra space between letters, in pixels
  ShapeStyle shape;
};

// True when the font has a glyph for every character of the text.
bool canDraw(const std::string& text);
float textWidth(const std::string& text, const TextStyle& style);
// The style scaled down (cap height and pen together) until the text fits the width; the
// cap height starts at maxCap.
TextStyle fitText(const std::string& text, TextStyle style, float maxCap, float width);
// Adds the text to the mask; x is the left edge, baseline the y of the baseline.
void drawText(Mask& mask, const std::string& text, float x, float baseline, const TextStyle& style);

}  // namespace art
