#include "scenes.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "motifs.h"
#include "stroke_font.h"

namespace art {

namespace {

constexpr float kPi = 3.14159265358979f;

const Color kWhite = rgb(255, 255, 255);
const Color kShadow = rgb(0, 8, 48);

// The product name with a soft drop shadow and a light vertical sheen.
void drawTitle(Image& img, const std::string& text, float x, float baseline, const TextStyle& style, Color top,
               Color bottom, float shadowOpacity) {
  Mask m(img.width(), img.height());
  drawText(m, text, x, baseline, style);
  drawGlow(img, m.shifted(2, 3), std::max(1, static_cast<int>(style.penWidth / 2)), kShadow, shadowOpacity);
  const float top_y = baseline - style.capHeight;
  img.composite(
      m, [&](int, int y) { return mix(top, bottom, std::min(1.0f, std::max(0.0f, (y - top_y) / style.capHeight))); });
}

std::vector<Point> ridge(int width, float base, float amplitude, float phase, float bottom) {
  std::vector<Point> pts;
  for (int x = -2; x <= width + 2; x += 2) {
    float t = x / static_cast<float>(width);
    float y = base - amplitude * (0.6f * std::sin(t * 5.1f + phase) + 0.3f * std::sin(t * 11.7f + phase * 2.3f) +
                                  0.1f * std::sin(t * 23.0f + phase * 0.7f));
    pts.push_back({static_cast<float>(x), y});
  }
  pts.push_back({static_cast<float>(width + 2), bottom});
  pts.push_back({-2.0f, bottom});
  return pts;
}

void addGrain(Image& img, std::uint32_t seed, float amount) {
  Random random(seed);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      float n = random.range(-amount, amount);
      Color c = img.at(x, y);
      img.set(x, y, {c.r + n, c.g + n, c.b + n});
    }
}

void vignette(Image& img, float strength) {
  const float cx = img.width() / 2.0f, cy = img.height() / 2.0f;
  const float reach = std::sqrt(cx * cx + cy * cy);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      float d = std::hypot(x - cx, y - cy) / reach;
      img.set(x, y, scale(img.at(x, y), 1.0f - strength * d * d));
    }
}

void sparkle(Image& img, Point c, float size, Color color, float opacity) {
  Mask m(img.width(), img.height());
  fillPolygon(m, {{c.x, c.y - size},
                  {c.x + size * 0.22f, c.y - size * 0.22f},
                  {c.x + size, c.y},
                  {c.x + size * 0.22f, c.y + size * 0.22f},
                  {c.x, c.y + size},
                  {c.x - size * 0.22f, c.y + size * 0.22f},
                  {c.x - size, c.y},
                  {c.x - size * 0.22f, c.y - size * 0.22f}});
  img.composite(m, color, opacity);
}

// ---- wizard page pictures ------------------------------------------------------------

constexpr int kPageW = 120, kPageH = 236;
const Point kEmblem = {60, 98};

void pageBackground(Image& img) {
  img.verticalGradient(rgb(14, 34, 104), rgb(36, 128, 178));
  Random random(7);
  for (int i = 0; i < 9; ++i) {
    Mask dot(kPageW, kPageH);
    fillCircle(dot, {random.range(0, kPageW), random.range(0, 170)}, random.range(3, 11));
    img.composite(dot, rgb(160, 210, 255), random.range(0.05f, 0.13f));
  }
  Mask far(kPageW, kPageH), near(kPageW, kPageH);
  fillPolygon(far, ridge(kPageW, 182, 9, 0.4f, kPageH));
  fillPolygon(near, ridge(kPageW, 200, 7, 2.1f, kPageH));
  img.composite(far, rgb(24, 92, 140));
  img.composite(near, rgb(14, 58, 98));
  Mask halo(kPageW, kPageH);
  fillCircle(halo, kEmblem, 36);
  drawGlow(img, halo, 8, rgb(190, 230, 255), 0.22f);
}

void pageFooter(Image& img) {
  TextStyle st;
  st.capHeight = 13;
  st.penWidth = 2.1f;
  st.slant = 0.12f;
  const std::string name = "Talvenor";
  drawTitle(img, name, (kPageW - textWidth(name, st)) / 2, 224, st, kWhite, rgb(200, 226, 255), 0.8f);
}

void shadowed(Image& img, const Mask& m, Color color) {
  drawGlow(img, m.shifted(2, 3), 2, kShadow, 0.55f);
  img.composite(m, color);
}

void emblemWelcome(Image& img) {
  Mask outline(kPageW, kPageH);
  fillRoundRect(outline, 43, 66, 77, 136, 6);
  drawGlow(img, outline.shifted(2, 3), 2, kShadow, 0.55f);
  drawPhone(img, 43, 66, 34, 70, PhoneLook{});
  drawWaves(img, {74, 58}, 7, 6, 3, 45, 80, 2.2f, kWhite);
}

void emblemLicence(Image& img) {
  Mask sheet(kPageW, kPageH);
  fillPolygon(sheet, {{36, 62}, {74, 62}, {86, 74}, {86, 134}, {36, 134}});
  shadowed(img, sheet, rgb(248, 248, 240));
  Mask fold(kPageW, kPageH);
  fillPolygon(fold, {{74, 62}, {86, 74}, {74, 74}});
  img.composite(fold, rgb(200, 204, 214));
  Mask lines(kPageW, kPageH);
  for (int i = 0; i < 7; ++i) {
    float y = 82 + i * 7;
    fillRect(lines, 43, y, i == 6 ? 62 : 79, y + 2);
  }
  img.composite(lines, rgb(150, 160, 180));
  Mask ribbon(kPageW, kPageH);
  fillPolygon(ribbon, {{70, 124}, {76, 124}, {72, 142}, {68, 137}, {64, 140}});
  fillPolygon(ribbon, {{76, 124}, {82, 124}, {86, 140}, {82, 137}, {78, 142}});
  img.composite(ribbon, rgb(170, 30, 40));
  Mask seal(kPageW, kPageH);
  fillCircle(seal, {76, 120}, 9);
  shadowed(img, seal, rgb(210, 44, 52));
  Mask ring(kPageW, kPageH);
  strokeArc(ring, {76, 120}, 6, 0, 360, 1.2f);
  img.composite(ring, rgb(255, 190, 180));
}

void emblemFolder(Image& img) {
  Mask back(kPageW, kPageH);
  fillPolygon(back, {{30, 78}, {52, 78}, {58, 85}, {90, 85}, {90, 128}, {30, 128}});
  shadowed(img, back, rgb(214, 160, 40));
  Mask paper(kPageW, kPageH);
  fillRect(paper, 36, 82, 84, 110);
  img.composite(paper, rgb(250, 250, 244));
  Mask front(kPageW, kPageH);
  fillPolygon(front, {{26, 94}, {94, 94}, {90, 128}, {30, 128}});
  img.composite(front, [](int, int y) { return mix(rgb(255, 216, 96), rgb(234, 172, 48), (y - 94) / 34.0f); });
  Mask arrow(kPageW, kPageH);
  fillRect(arrow, 55, 56, 65, 76);
  fillPolygon(arrow, {{46, 74}, {74, 74}, {60, 90}});
  shadowed(img, arrow, rgb(80, 200, 90));
}

void emblemOptions(Image& img) {
  Mask board(kPageW, kPageH);
  fillRoundRect(board, 34, 62, 86, 136, 5);
  shadowed(img, board, rgb(150, 100, 56));
  Mask paper(kPageW, kPageH);
  fillRect(paper, 39, 70, 81, 131);
  img.composite(paper, rgb(250, 250, 244));
  Mask clip(kPageW, kPageH);
  fillRoundRect(clip, 48, 57, 72, 68, 3);
  img.composite(clip, rgb(180, 186, 198));
  for (int i = 0; i < 3; ++i) {
    float y = 80 + i * 17;
    Mask box(kPageW, kPageH);
    fillRect(box, 44, y, 54, y + 10);
    Mask inner(kPageW, kPageH);
    fillRect(inner, 45.5f, y + 1.5f, 52.5f, y + 8.5f);
    box.subtract(inner);
    img.composite(box, rgb(60, 70, 90));
    Mask line(kPageW, kPageH);
    fillRect(line, 58, y + 4, 77, y + 6);
    img.composite(line, rgb(150, 160, 180));
    Mask tick(kPageW, kPageH);
    strokePolyline(tick, {{45, y + 4}, {49, y + 9}, {57, y - 3}}, 2.6f);
    img.composite(tick, rgb(30, 150, 60));
  }
}

void emblemReady(Image& img) {
  Mask frame(kPageW, kPageH);
  fillRoundRect(frame, 26, 66, 94, 118, 4);
  shadowed(img, frame, rgb(200, 204, 214));
  Mask screen(kPageW, kPageH);
  fillRect(screen, 31, 71, 89, 111);
  img.composite(screen, [](int, int y) { return mix(rgb(40, 90, 200), rgb(10, 30, 110), (y - 71) / 40.0f); });
  Mask stand(kPageW, kPageH);
  fillPolygon(stand, {{54, 118}, {66, 118}, {70, 128}, {50, 128}});
  fillRoundRect(stand, 42, 127, 78, 132, 2);
  img.composite(stand, rgb(170, 176, 190));
  Mask trough(kPageW, kPageH), bar(kPageW, kPageH);
  fillRect(trough, 37, 92, 83, 100);
  fillRect(bar, 38, 93, 68, 99);
  img.composite(trough, rgb(230, 232, 240));
  img.composite(bar, [](int x, int) { return mix(rgb(0, 0, 128), rgb(0, 0, 255), (x - 38) / 30.0f); });
  Mask doc(kPageW, kPageH);
  fillRect(doc, 40, 76, 50, 88);
  fillRect(doc, 70, 76, 80, 88);
  img.composite(doc, rgb(240, 240, 230));
  Mask move(kPageW, kPageH);
  strokePolyline(move, {{53, 82}, {66, 82}}, 2);
  fillPolygon(move, {{64, 78}, {69, 82}, {64, 86}});
  img.composite(move, rgb(255, 220, 90));
}

void emblemFinish(Image& img) {
  Mask disc(kPageW, kPageH);
  fillCircle(disc, kEmblem, 30);
  shadowed(img, disc, rgb(40, 160, 80));
  Mask shine(kPageW, kPageH);
  fillEllipse(shine, {kEmblem.x - 6, kEmblem.y - 14}, 18, 10);
  img.composite(shine, kWhite, 0.18f);
  Mask tick(kPageW, kPageH);
  strokePolyline(tick, {{44, 98}, {56, 111}, {77, 84}}, 7);
  img.composite(tick, kWhite);
}

void emblemInfrared(Image& img) {
  Mask m(kPageW, kPageH);
  fillRoundRect(m, 12, 78, 34, 124, 4);
  drawGlow(img, m.shifted(2, 3), 2, kShadow, 0.55f);
  drawPhone(img, 12, 78, 22, 46, PhoneLook{});
  Mask monitor(kPageW, kPageH);
  fillRoundRect(monitor, 66, 80, 108, 112, 3);
  shadowed(img, monitor, rgb(200, 204, 214));
  Mask screen(kPageW, kPageH);
  fillRect(screen, 70, 84, 104, 108);
  img.composite(screen, rgb(30, 70, 170));
  Mask stand(kPageW, kPageH);
  fillRect(stand, 82, 112, 92, 118);
  fillRoundRect(stand, 74, 117, 100, 121, 2);
  img.composite(stand, rgb(170, 176, 190));
  Mask beam(kPageW, kPageH);
  for (int i = 0; i < 5; ++i) {
    float x = 40 + i * 5.2f;
    strokeSegment(beam, {x, 90}, {x + 2.6f, 90}, 2.4f);
  }
  drawGlow(img, beam, 3, rgb(255, 60, 40), 0.8f);
  img.composite(beam, rgb(255, 90, 70));
}

void emblemInfraredSetup(Image& img) {
  Mask port(kPageW, kPageH);
  fillRoundRect(port, 30, 72, 62, 104, 6);
  shadowed(img, port, rgb(36, 36, 44));
  Mask lens(kPageW, kPageH);
  fillRoundRect(lens, 35, 77, 57, 99, 4);
  img.composite(lens, [](int, int y) { return mix(rgb(150, 20, 30), rgb(70, 0, 10), (y - 77) / 22.0f); });
  drawWaves(img, {50, 88}, 16, 7, 3, 20, 70, 2.4f, rgb(255, 110, 90));
  // A gear for the setting up.
  Mask gear(kPageW, kPageH);
  const Point c = {76, 122};
  std::vector<Point> teeth;
  for (int i = 0; i < 32; ++i) {
    float a = i * kPi / 16;
    float r = (i / 2) % 2 == 0 ? 17.0f : 12.5f;
    teeth.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
  fillPolygon(gear, teeth);
  Mask hole(kPageW, kPageH);
  fillCircle(hole, c, 5);
  gear.subtract(hole);
  shadowed(img, gear, rgb(196, 202, 214));
}

void emblemLanguage(Image& img) {
  Mask globe(kPageW, kPageH);
  fillCircle(globe, kEmblem, 30);
  shadowed(img, globe, rgb(30, 110, 220));
  Mask land(kPageW, kPageH);
  fillEllipse(land, {48, 86}, 11, 8);
  fillEllipse(land, {54, 100}, 6, 12);
  fillEllipse(land, {74, 90}, 9, 6);
  fillEllipse(land, {76, 110}, 7, 9);
  land.subtract([&] {
    Mask outside(kPageW, kPageH);
    fillRect(outside, 0, 0, kPageW, kPageH);
    outside.subtract(globe);
    return outside;
  }());
  img.composite(land, rgb(70, 170, 90));
  Mask grid(kPageW, kPageH);
  strokeArc(grid, kEmblem, 30, 0, 360, 1.4f);
  strokePolyline(grid, arcPoints(kEmblem, 14, 30, 0, 360), 1.1f);
  strokeSegment(grid, {kEmblem.x, kEmblem.y - 30}, {kEmblem.x, kEmblem.y + 30}, 1.1f);
  strokeSegment(grid, {kEmblem.x - 30, kEmblem.y}, {kEmblem.x + 30, kEmblem.y}, 1.1f);
  strokePolyline(grid, arcPoints({kEmblem.x, kEmblem.y + 34}, 26, 20, 40, 140), 1.1f);
  strokePolyline(grid, arcPoints({kEmblem.x, kEmblem.y - 34}, 26, 20, 220, 320), 1.1f);
  img.composite(grid, rgb(210, 235, 255), 0.7f);
  Mask shine(kPageW, kPageH);
  fillEllipse(shine, {50, 82}, 12, 7);
  img.composite(shine, kWhite, 0.2f);
}

// ---- icons ---------------------------------------------------------------------------

const ShapeStyle kSharp = {true};

Image blankIcon() {
  Image img(32, 32);
  img.setAlpha(0);
  return img;
}

}  // namespace

Color transparentKey() { return rgb(0, 0, 200); }

Image logoPicture() {
  const int W = 327, H = 91;
  Image img(W, H, transparentKey());

  const Point c = {46, 45.5f};
  Mask badge(W, H);
  fillCircle(badge, c, 37);
  drawGlow(img, badge.shifted(2, 3), 3, kShadow, 0.6f);
  img.composite(badge, [&](int x, int y) {
    float d = std::hypot(x - (c.x - 14), y - (c.y - 16)) / 60.0f;
    return mix(rgb(126, 196, 255), rgb(16, 64, 176), std::min(1.0f, d));
  });
  Mask inner(W, H);
  fillCircle(inner, c, 34);
  Mask ring = badge;
  ring.subtract(inner);
  img.composite(ring, kWhite, 0.85f);
  PhoneLook look;
  look.body = rgb(245, 248, 255);
  look.rim = kWhite;
  look.detailed = false;
  drawPhone(img, 33, 28, 22, 44, look);
  Mask screen(W, H);
  fillRoundRect(screen, 36.5f, 33, 51.5f, 47, 1.5f);
  img.composite(screen, rgb(40, 110, 210));
  Mask keys(W, H);
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) fillCircle(keys, {38.5f + col * 5.5f, 53.5f + row * 5}, 1.4f);
  img.composite(keys, rgb(40, 110, 210));
  drawWaves(img, {52, 24}, 8, 6, 3, 40, 80, 2.3f, kWhite);

  TextStyle st;
  st.capHeight = 44;
  st.penWidth = 6.5f;
  st.slant = 0.14f;
  const std::string name = "Talvenor";
  st = fitText(name, st, 44, W - 100 - 6);
  drawTitle(img, name, 100, 58, st, kWhite, rgb(196, 222, 255), 0.75f);

  Mask swoosh(W, H);
  std::vector<Point> sweep;
  for (int i = 0; i <= 40; ++i) {
    float t = i / 40.0f;
    sweep.push_back({102 + 216 * t, 67 - 6 * t * t});
  }
  strokePolyline(swoosh, sweep, 2.2f);
  img.composite(swoosh, [](int x, int) { return mix(rgb(255, 210, 80), rgb(255, 140, 40), (x - 100) / 220.0f); });
  TextStyle tag;
  tag.capHeight = 9;
  tag.penWidth = 1.5f;
  tag.tracking = 1.2f;
  const std::string line = "IHR HANDY AM PC";
  Mask tagline(W, H);
  drawText(tagline, line, W - 10 - textWidth(line, tag), 84, tag);
  img.composite(tagline, rgb(210, 230, 255));
  img.set(0, H - 1, transparentKey());
  return img;
}

Image sidePicture() {
  const int W = 300, H = 585;
  Image img(W, H, transparentKey());

  Mask halo(W, H);
  fillEllipse(halo, {150, 300}, 110, 200);
  drawGlow(img, halo, 30, rgb(120, 190, 255), 0.35f);
  Mask floorShadow(W, H);
  fillEllipse(floorShadow, {150, 508}, 90, 14);
  drawGlow(img, floorShadow, 8, kShadow, 0.7f);

  const float px = 84, py = 150, pw = 132, ph = 320;
  Mask body(W, H);
  fillRoundRect(body, px, py, px + pw, py + ph, 21);
  drawGlow(img, body.shifted(6, 8), 8, kShadow, 0.6f);
  PhoneLook look;
  look.screenText = "Talvenor";
  drawPhone(img, px, py, pw, ph, look);
  const float unit = pw / 100;

  const Point antennaTip = {px + pw - 19 * unit, py - 22 * unit};
  drawWaves(img, antennaTip, 22, 17, 4, 50, 76, 4, kWhite);
  drawNote(img, {58, 150}, 13, rgb(200, 235, 255), 0.9f);
  drawNote(img, {34, 250}, 10, rgb(200, 235, 255), 0.7f);
  drawNote(img, {258, 300}, 11, rgb(200, 235, 255), 0.8f);
  drawNote(img, {44, 372}, 8, rgb(200, 235, 255), 0.55f);
  sparkle(img, {262, 66}, 9, kWhite, 0.9f);
  sparkle(img, {206, 40}, 5, kWhite, 0.7f);
  sparkle(img, {70, 92}, 6, kWhite, 0.6f);
  sparkle(img, {250, 420}, 7, kWhite, 0.6f);

  // Keep the picture's bottom-left pixel at the transparent colour.
  img.set(0, H - 1, transparentKey());
  return img;
}

Image pagePicture(Page page) {
  Image img(kPageW, kPageH);
  pageBackground(img);
  switch (page) {
    case Page::Welcome: emblemWelcome(img); break;
    case Page::Licence: emblemLicence(img); break;
    case Page::Folder: emblemFolder(img); break;
    case Page::Options: emblemOptions(img); break;
    case Page::Ready: emblemReady(img); break;
    case Page::Finish: emblemFinish(img); break;
    case Page::Infrared: emblemInfrared(img); break;
    case Page::InfraredSetup: emblemInfraredSetup(img); break;
    case Page::Language: emblemLanguage(img); break;
  }
  pageFooter(img);
  return img;
}

Image welcomeIcon() {
  Image img = blankIcon();
  Mask antenna(32, 32);
  fillRect(antenna, 15, 4, 18, 10, kSharp);
  img.composite(antenna, rgb(0, 0, 0));
  Mask outline(32, 32), body(32, 32);
  fillRoundRect(outline, 5, 8, 20, 32, 3, kSharp);
  fillRoundRect(body, 6, 9, 19, 31, 2, kSharp);
  img.composite(outline, rgb(0, 0, 0));
  img.composite(body, rgb(0, 0, 128));
  Mask screen(32, 32);
  fillRect(screen, 8, 12, 17, 19, kSharp);
  img.composite(screen, rgb(0, 255, 255));
  Mask bars(32, 32);
  fillRect(bars, 9, 16, 10, 18, kSharp);
  fillRect(bars, 11, 15, 12, 18, kSharp);
  fillRect(bars, 13, 14, 14, 18, kSharp);
  img.composite(bars, rgb(0, 128, 128));
  Mask keys(32, 32);
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      fillRect(keys, 8 + col * 3.5f, 21 + row * 3.3f, 10 + col * 3.5f, 23 + row * 3.3f, kSharp);
  img.composite(keys, rgb(192, 192, 192));
  Mask waves(32, 32);
  strokeArc(waves, {17, 6}, 5, -35, 55, 1.4f, kSharp);
  strokeArc(waves, {17, 6}, 9, -30, 45, 1.4f, kSharp);
  strokeArc(waves, {17, 6}, 13, -25, 35, 1.4f, kSharp);
  img.composite(waves, rgb(0, 0, 255));
  return img;
}

Image languageIcon() {
  Image img = blankIcon();
  const Point c = {15.5f, 16.5f};
  Mask outline(32, 32), globe(32, 32);
  fillCircle(outline, c, 15, kSharp);
  fillCircle(globe, c, 14, kSharp);
  img.composite(outline, rgb(0, 0, 128));
  img.composite(globe, rgb(0, 0, 255));
  Mask land(32, 32);
  fillEllipse(land, {10, 11}, 5, 4, kSharp);
  fillEllipse(land, {12, 19}, 3, 6, kSharp);
  fillEllipse(land, {22, 13}, 4, 3, kSharp);
  fillEllipse(land, {22, 22}, 3, 4, kSharp);
  Mask outside(32, 32);
  fillRect(outside, 0, 0, 32, 32, kSharp);
  outside.subtract(globe);
  land.subtract(outside);
  img.composite(land, rgb(0, 128, 0));
  Mask grid(32, 32);
  strokePolyline(grid, arcPoints(c, 6.5f, 14, 0, 360), 1, kSharp);
  strokeSegment(grid, {c.x - 14, c.y}, {c.x + 14, c.y}, 1, kSharp);
  strokeSegment(grid, {c.x, c.y - 14}, {c.x, c.y + 14}, 1, kSharp);
  grid.subtract(outside);
  img.composite(grid, rgb(0, 255, 255));
  Mask shine(32, 32);
  fillRect(shine, 7, 6, 9, 8, kSharp);
  img.composite(shine, rgb(255, 255, 255));
  return img;
}

Image questionIcon() {
  Image img = blankIcon();
  Mask outline(32, 32), bubble(32, 32);
  fillEllipse(outline, {16, 13}, 15, 12, kSharp);
  fillPolygon(outline, {{6, 18}, {13, 22}, {3, 31}}, kSharp);
  fillEllipse(bubble, {16, 13}, 14, 11, kSharp);
  fillPolygon(bubble, {{7.5f, 19}, {12.5f, 21.5f}, {5, 28.5f}}, kSharp);
  img.composite(outline, rgb(0, 0, 0));
  img.composite(bubble, rgb(255, 255, 255));
  Mask mark(32, 32);
  std::vector<Point> hook = arcPoints({16, 8.5f}, 4.5f, 4, 165, -70);
  hook.push_back({16.5f, 14.5f});
  hook.push_back({16.5f, 16});
  strokePolyline(mark, hook, 3, kSharp);
  fillRect(mark, 15, 18, 18, 21, kSharp);
  img.composite(mark.shifted(1, 1), rgb(0, 0, 128));
  img.composite(mark, rgb(0, 0, 255));
  return img;
}

Image splashPicture() {
  const int W = 400, H = 300;
  Image img(W, H);
  const float horizon = 196;
  img.fill([&](int, int y) {
    float t = std::min(1.0f, y / horizon);
    Color high = rgb(22, 40, 112), mid = rgb(120, 96, 170), low = rgb(252, 176, 96);
    return t < 0.55f ? mix(high, mid, t / 0.55f) : mix(mid, low, (t - 0.55f) / 0.45f);
  });

  const Point sun = {292, 176};
  Mask glow(W, H);
  fillCircle(glow, sun, 34);
  drawGlow(img, glow, 26, rgb(255, 214, 150), 0.75f);
  Mask disc(W, H);
  fillCircle(disc, sun, 21);
  img.composite(disc, rgb(255, 240, 196));

  Random random(2024);
  for (int i = 0; i < 7; ++i) {
    Mask cloud(W, H);
    float cx = random.range(0, W), cy = random.range(30, 130);
    for (int k = 0; k < 4; ++k)
      fillEllipse(cloud, {cx + random.range(-40, 40), cy + random.range(-6, 6)}, random.range(26, 50),
                  random.range(6, 11));
    cloud.blur(4);
    img.composite(cloud, rgb(255, 206, 196), random.range(0.18f, 0.34f));
  }

  struct Layer {
    float base, amplitude, phase;
    Color color;
  };
  const Layer layers[] = {
      {190, 14, 0.3f, rgb(132, 104, 152)},
      {214, 18, 1.7f, rgb(84, 70, 118)},
      {246, 22, 3.1f, rgb(34, 44, 66)},
      {280, 16, 4.4f, rgb(16, 24, 34)},
  };
  for (const Layer& layer : layers) {
    Mask hill(W, H);
    fillPolygon(hill, ridge(W, layer.base, layer.amplitude, layer.phase, H));
    img.composite(hill, layer.color);
  }
  // Sunlight caught in the haze above the far hills.
  Mask haze(W, H);
  fillRect(haze, 0, 176, W, 214);
  haze.blur(10);
  img.composite(haze, rgb(255, 190, 140), 0.25f);

  // A phone held up against the evening sky, its display lit.
  PhoneLook dark;
  dark.body = rgb(14, 18, 28);
  dark.rim = rgb(255, 170, 100);
  dark.screenTop = rgb(150, 230, 220);
  dark.screenBottom = rgb(70, 170, 170);
  dark.keys = rgb(60, 70, 90);
  dark.sheen = 0.08f;
  Mask phone(W, H);
  fillRoundRect(phone, 318, 150, 378, 340, 10);
  drawGlow(img, phone, 10, rgb(0, 0, 0), 0.5f);
  drawPhone(img, 318, 150, 60, 190, dark);
  drawWaves(img, {378 - 11.4f, 150 - 13.2f}, 12, 9, 3, 120, 70, 2.2f, rgb(255, 236, 200));

  TextStyle title;
  title.capHeight = 52;
  title.penWidth = 7.5f;
  title.slant = 0.14f;
  const std::string name = "Talvenor";
  title = fitText(name, title, 52, 300);
  drawTitle(img, name, 24, 92, title, kWhite, rgb(255, 224, 180), 0.8f);
  TextStyle sub;
  sub.capHeight = 13;
  sub.penWidth = 2;
  sub.tracking = 2;
  Mask subtitle(W, H);
  drawText(subtitle, "Version 2.0", 32, 120, sub);
  drawGlow(img, subtitle.shifted(1, 2), 1, kShadow, 0.6f);
  img.composite(subtitle, rgb(255, 230, 200));

  vignette(img, 0.35f);
  addGrain(img, 99, 0.018f);
  return img;
}

}  // namespace art
