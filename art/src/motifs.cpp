#include "motifs.h"

#include <algorithm>

#include "stroke_font.h"

namespace art {

void drawPhone(Image& img, float x, float y, float width, float height, const PhoneLook& look) {
  const int w = img.width(), h = img.height();
  const float unit = width / 100.0f;

  Mask body(w, h);
  fillRoundRect(body, x, y, x + width, y + height, 16 * unit);
  Mask antenna(w, h);
  fillRoundRect(antenna, x + width - 26 * unit, y - 22 * unit, x + width - 12 * unit, y + 10 * unit, 6 * unit);
  img.composite(antenna, look.body);
  img.composite(body, [&](int, int py) {
    // Light from the top: the body brightens slightly towards its upper edge.
    float t = std::min(1.0f, std::max(0.0f, (py - y) / height));
    return mix(mix(look.body, look.rim, look.sheen), look.body, t);
  });
  Mask inner(w, h);
  fillRoundRect(inner, x + 3 * unit, y + 3 * unit, x + width - 3 * unit, y + height - 3 * unit, 13 * unit);
  Mask rim = body;
  rim.subtract(inner);
  img.composite(rim, look.rim, 0.6f);
  if (!look.detailed) return;

  // Speaker slot, screen and keypad.
  Mask slot(w, h);
  fillRoundRect(slot, x + 38 * unit, y + 9 * unit, x + 62 * unit, y + 13 * unit, 2 * unit);
  img.composite(slot, scale(look.body, 0.5f));

  const float sx0 = x + 14 * unit, sx1 = x + width - 14 * unit;
  const float sy0 = y + 22 * unit, sy1 = y + 22 * unit + 62 * unit;
  Mask bezel(w, h);
  fillRoundRect(bezel, sx0 - 4 * unit, sy0 - 4 * unit, sx1 + 4 * unit, sy1 + 4 * unit, 7 * unit);
  img.composite(bezel, scale(look.body, 0.55f));
  Mask screen(w, h);
  fillRoundRect(screen, sx0, sy0, sx1, sy1, 3 * unit);
  img.composite(screen, [&](int, int py) { return mix(look.screenTop, look.screenBottom, (py - sy0) / (sy1 - sy0)); });
  // Signal bars on the display.
  Mask bars(w, h);
  for (int i = 0; i < 4; ++i) {
    float bx = sx0 + (5 + i * 6) * unit;
    fillRect(bars, bx, sy0 + (20 - i * 4) * unit, bx + 4 * unit, sy0 + 24 * unit);
  }
  img.composite(bars, scale(look.screenBottom, 0.35f));
  Mask lines(w, h);
  if (look.screenText.empty()) {
    fillRect(lines, sx0 + 5 * unit, sy0 + 34 * unit, sx1 - 5 * unit, sy0 + 38 * unit);
    fillRect(lines, sx0 + 5 * unit, sy0 + 44 * unit, sx1 - 22 * unit, sy0 + 48 * unit);
  } else {
    TextStyle style;
    style.capHeight = 13 * unit;
    style.penWidth = 2 * unit;
    style = fitText(look.screenText, style, style.capHeight, sx1 - sx0 - 8 * unit);
    drawText(lines, look.screenText, (sx0 + sx1) / 2 - textWidth(look.screenText, style) / 2, sy0 + 48 * unit, style);
  }
  img.composite(lines, scale(look.screenBottom, 0.4f));

  // Navigation key and a 3 x 4 keypad below the screen, as far as the body is long.
  const float navY = sy1 + 12 * unit;
  Mask nav(w, h);
  fillRoundRect(nav, x + 30 * unit, navY, x + 70 * unit, navY + 12 * unit, 6 * unit);
  img.composite(nav, look.keys);
  Mask keys(w, h);
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 3; ++col) {
      float kx = x + (15 + col * 25) * unit, ky = navY + (20 + row * 17) * unit;
      if (ky + 11 * unit > y + height - 6 * unit) continue;
      fillRoundRect(keys, kx, ky, kx + 20 * unit, ky + 11 * unit, 5 * unit);
    }
  img.composite(keys, look.keys);
}

void drawWaves(Image& img, Point centre, float firstRadius, float step, int count, float direction, float spread,
               float penWidth, Color color) {
  for (int i = 0; i < count; ++i) {
    Mask arc(img.width(), img.height());
    strokeArc(arc, centre, firstRadius + i * step, direction - spread / 2, direction + spread / 2, penWidth);
    img.composite(arc, color, 1.0f - 0.22f * i);
  }
}

void drawNote(Image& img, Point head, float size, Color color, float opacity) {
  Mask m(img.width(), img.height());
  fillEllipse(m, head, size * 0.55f, size * 0.4f);
  const float stemX = head.x + size * 0.45f;
  strokeSegment(m, {stemX, head.y}, {stemX, head.y - size * 2.2f}, size * 0.22f);
  std::vector<Point> flag = arcPoints({stemX, head.y - size * 1.4f}, size * 0.7f, size * 0.8f, 90, -30);
  strokePolyline(m, flag, size * 0.22f);
  img.composite(m, color, opacity);
}

void drawGlow(Image& img, const Mask& shape, int radius, Color color, float opacity) {
  Mask soft = shape;
  soft.blur(radius);
  img.composite(soft, color, opacity);
}

}  // namespace art
