#include "progress_bar.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

using namespace progress;

namespace {

constexpr uint32_t kNavy = 0x800000, kBlue = 0xFF0000, kLime = 0x00FF00, kRed = 0x0000FF;

// A picture with its own storage.
struct Canvas {
  Canvas(int w, int h, uint32_t fill = 0) : store(size_t(w) * size_t(h), fill) { pixels = Pixels{w, h, store.data()}; }
  std::vector<uint32_t> store;
  Pixels pixels;
  uint32_t Color(int x, int y) const { return ColorFromPixel(pixels.At(x, y)); }
};

}  // namespace

TEST(ProgressArithmetic, NearestTakesHalvesToTheEvenNeighbour) {
  EXPECT_EQ(Nearest(0.5), 0);
  EXPECT_EQ(Nearest(1.5), 2);
  EXPECT_EQ(Nearest(2.5), 2);
  EXPECT_EQ(Nearest(107.5), 108);
  EXPECT_EQ(Nearest(191.5), 192);
  EXPECT_EQ(Nearest(2.4999), 2);
  EXPECT_EQ(Nearest(2.5001), 3);
  EXPECT_EQ(Nearest(-0.5), 0);
  EXPECT_EQ(Nearest(-1.5), -2);
  EXPECT_EQ(Nearest(-2.6), -3);
  EXPECT_EQ(Nearest(NAN), 0);
  EXPECT_EQ(Nearest(1e300), INT_MAX);
  EXPECT_EQ(Nearest(-1e300), INT_MIN);
}

TEST(ProgressArithmetic, FilledColumnsOfTheWorkedExamples) {
  EXPECT_EQ(FilledColumns(50, 217), 108);  // nearest(107.5)
  EXPECT_EQ(FilledColumns(100, 217), 215);
  EXPECT_EQ(FilledColumns(0, 217), 0);
  for (int p = 0; p <= 100; ++p) EXPECT_EQ(FilledColumns(p, 402), 4 * p) << p;
  EXPECT_EQ(FilledColumns(-5, 217), 0);
  EXPECT_EQ(FilledColumns(INT_MIN, 402), 0);
}

TEST(ProgressArithmetic, NoGradientAtWidthTwoOrLess) {
  for (int width : {-3, 0, 1, 2}) {
    EXPECT_EQ(InnerWidth(width), 0);
    for (int p : {-100, 0, 50, 100}) EXPECT_EQ(FilledColumns(p, width), 0) << width << " " << p;
  }
  EXPECT_EQ(FilledColumns(100, 3), 1);
}

TEST(ProgressArithmetic, ColumnColoursOverTheFullInnerWidth) {
  // Navy to blue over 400 columns: column 200 has blue nearest(191.5) = 192.
  EXPECT_EQ(ColumnColor(200, 400, kNavy, kBlue), MakeColor(0, 0, 192));
  EXPECT_EQ(ColumnColor(400, 400, kNavy, kBlue), kBlue);
  EXPECT_EQ(ColumnColor(215, 215, kLime, kRed), kRed);
  // Lime to red: the first column is almost lime, the channels move in opposite directions.
  const uint32_t first = ColumnColor(1, 215, kLime, kRed);
  EXPECT_EQ(Red(first), 1);  // nearest(255/215) = 1
  EXPECT_EQ(Green(first), 254);
  EXPECT_EQ(Blue(first), 0);
  for (int x = 1; x <= 400; ++x) {
    const uint32_t c = ColumnColor(x, 400, kNavy, kBlue);
    EXPECT_EQ(Blue(c), Nearest(x / 400.0 * 255 + (1 - x / 400.0) * 128)) << x;
    EXPECT_EQ(c & 0xFFFF, 0u);
  }
}

TEST(ProgressArithmetic, InverseAndTextPlacement) {
  EXPECT_EQ(InverseColor(0x123456), 0xEDCBA9u);
  EXPECT_EQ(InverseColor(0xFF123456), 0xEDCBA9u);
  EXPECT_EQ(CentredStart(217, 50), 83);
  EXPECT_EQ(CentredStart(402, 31), 186);
  EXPECT_EQ(CentredStart(21, 13), 4);
  EXPECT_EQ(CentredStart(10, 31), -10);  // a text wider than the bar starts left of it
  EXPECT_EQ(PixelFromColor(0x00112233), 0x00332211u);
  EXPECT_EQ(ColorFromPixel(0x00332211), 0x00112233u);
}

TEST(ProgressComposition, BorderAndBackgroundAtZero) {
  Canvas c(217, 40);
  DrawBar(c.pixels, BarColors{0xFFFFFF, 0x000000, kLime, kRed}, 0);
  for (int x = 0; x < 217; ++x) {
    EXPECT_EQ(c.Color(x, 0), 0u);
    EXPECT_EQ(c.Color(x, 39), 0u);
  }
  for (int y = 0; y < 40; ++y) {
    EXPECT_EQ(c.Color(0, y), 0u);
    EXPECT_EQ(c.Color(216, y), 0u);
  }
  for (int y = 1; y < 39; ++y)
    for (int x = 1; x < 216; ++x) ASSERT_EQ(c.Color(x, y), 0xFFFFFFu) << x << "," << y;
}

TEST(ProgressComposition, FilledColumnsKeepTheirColourAtAnyProgress) {
  Canvas half(217, 40), full(217, 40);
  const BarColors colors{0xFFFFFF, 0x000000, kLime, kRed};
  DrawBar(half.pixels, colors, 50);
  DrawBar(full.pixels, colors, 100);
  for (int x = 1; x <= 108; ++x)
    for (int y = 1; y <= 38; ++y) {
      ASSERT_EQ(half.Color(x, y), ColumnColor(x, 215, kLime, kRed)) << x;
      ASSERT_EQ(half.Color(x, y), full.Color(x, y));
    }
  EXPECT_EQ(half.Color(109, 20), 0xFFFFFFu);
  EXPECT_EQ(full.Color(215, 20), kRed);  // rightmost inner column exactly ToColor
  EXPECT_EQ(full.Color(216, 20), 0u);    // the border stays
  EXPECT_EQ(full.Color(215, 0), 0u);
  EXPECT_EQ(full.Color(215, 39), 0u);
}

TEST(ProgressComposition, NegativeProgressAndTinyBars) {
  Canvas c(217, 40);
  DrawBar(c.pixels, BarColors{0xFFFFFF, 0, kLime, kRed}, -30);
  EXPECT_EQ(c.Color(1, 20), 0xFFFFFFu);
  for (int w : {1, 2}) {
    Canvas tiny(w, 5);
    DrawBar(tiny.pixels, BarColors{0xFFFFFF, 0x0000AA, kLime, kRed}, 100);
    for (int x = 0; x < w; ++x)
      for (int y = 0; y < 5; ++y) EXPECT_EQ(tiny.Color(x, y), 0x0000AAu);
  }
  Canvas flat(50, 2);
  DrawBar(flat.pixels, BarColors{0xFFFFFF, 0x0000AA, kLime, kRed}, 100);
  EXPECT_EQ(flat.Color(10, 0), 0x0000AAu);
  EXPECT_EQ(flat.Color(10, 1), 0x0000AAu);
}

TEST(ProgressComposition, TextInvertedOnlyStrictlyBetweenXAndN) {
  const uint32_t text = 0x102030, other = 0x405060;
  Canvas layer(20, 3, PixelFromColor(0xFFFFFF));
  for (int x = 0; x < 20; ++x) layer.pixels.At(x, 1) = PixelFromColor(text);
  layer.pixels.At(7, 2) = PixelFromColor(other);
  Canvas back(20, 3, PixelFromColor(0x0000FF));
  TransferText(layer.pixels, back.pixels, text, 5, 10);
  for (int x = 0; x < 20; ++x) {
    const bool inverted = x > 5 && x < 10;
    EXPECT_EQ(back.Color(x, 1), inverted ? InverseColor(text) : text) << x;
    EXPECT_EQ(back.Color(x, 0), 0x0000FFu);  // background pixels are not transferred
  }
  EXPECT_EQ(back.Color(7, 2), 0x0000FFu);  // nor are pixels of another colour
}

TEST(ProgressComposition, TextLayerBackgroundNeverEqualsTheText) {
  EXPECT_EQ(TextLayerBackground(0x000000), 0xFFFFFFu);
  EXPECT_EQ(TextLayerBackground(0x80FFFFFF), 0x000000u);
  EXPECT_EQ(TextLayerBackground(0xFFFFFF), 0x000000u);
  EXPECT_EQ(TextLayerBackground(0xFFFFFE), 0xFFFFFFu);
}
