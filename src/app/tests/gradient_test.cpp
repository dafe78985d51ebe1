#include "gradient.h"

#include <gtest/gtest.h>

using app::GradientBands;
using app::GradientBlue;

TEST(Gradient, On768RowsEveryThirdRowAddsOneStepAndTheTopIsFullBlue) {
  // Row 768 (one below the screen) starts with blue 1; rows 6 to 0 are full blue.
  EXPECT_EQ(GradientBlue(768, 768), 1);
  EXPECT_EQ(GradientBlue(767, 768), 1);
  EXPECT_EQ(GradientBlue(766, 768), 1);
  EXPECT_EQ(GradientBlue(765, 768), 2);
  EXPECT_EQ(GradientBlue(9, 768), 254);
  EXPECT_EQ(GradientBlue(7, 768), 254);
  EXPECT_EQ(GradientBlue(6, 768), 255);
  EXPECT_EQ(GradientBlue(0, 768), 255);
  const auto bands = GradientBands(768);
  EXPECT_EQ(bands.front().bottom, 768);
  EXPECT_EQ(bands.back().top, 0);
  EXPECT_EQ(bands.back().blue, 255);
  EXPECT_EQ(bands.size(), 255u);
}

TEST(Gradient, BandsCoverEveryRowOnceAndNeverDecrease) {
  for (int h : {255, 480, 600, 1024, 1200}) {
    int expectedBottom = h, lastBlue = 0;
    for (const auto& band : GradientBands(h)) {
      EXPECT_EQ(band.bottom, expectedBottom) << h;
      EXPECT_GT(band.blue, lastBlue) << h;
      expectedBottom = band.top - 1;
      lastBlue = band.blue;
    }
    EXPECT_EQ(expectedBottom, -1) << h;
    EXPECT_EQ(lastBlue, 255) << h;
  }
}

TEST(Gradient, ScreensLowerThan255RowsStepEveryRowWithoutDivisionByZero) {
  EXPECT_EQ(GradientBlue(100, 100), 1);
  EXPECT_EQ(GradientBlue(0, 100), 101);
  EXPECT_EQ(GradientBands(0).size(), 1u);
  EXPECT_TRUE(GradientBands(-1).empty());
}
