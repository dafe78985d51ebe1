// Recurring motifs of the Talvenor pictures: the mobile phone, its radio waves, notes.
#pragma once

#include <string>

#include "raster.h"

namespace art {

struct PhoneLook {
  Color body = rgb(38, 44, 62);
  Color rim = rgb(120, 132, 160);
  Color screenTop = rgb(178, 226, 196);
  Color screenBottom = rgb(118, 184, 150);
  Color keys = rgb(200, 206, 220);
  float sheen = 0.35f;     // how much the rim colour lights the top of the body
  bool detailed = true;    // screen content and keypad; off for silhouettes
  std::string screenText;  // shown on the display instead of its placeholder lines
};

// A candy-bar phone with a stub antenna at its top right; (x, y) is the body's top left.
void drawPhone(Image& img, float x, float y, float width, float height, const PhoneLook& look);

// Concentric arcs around a point, opening to the given direction (degrees, 0 right).
void drawWaves(Image& img, Point centre, float firstRadius, float step, int count, float direction, float spread,
               float penWidth, Color color);

// An eighth note (single flag) whose head is centred at the point.
void drawNote(Image& img, Point head, float size, Color color, float opacity = 1.0f);

// A soft shadow or glow: the mask blurred and laid down in a colour.
void drawGlow(Image& img, const Mask& shape, int radius, Color color, float opacity);

}  // namespace art
