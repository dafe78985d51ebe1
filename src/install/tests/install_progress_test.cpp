#include "install_progress.h"

#include <gtest/gtest.h>

using install::FileShareInPercent;

TEST(InstallProgress, EachFileAddsItsOwnRoundedShare) {
  // Three files of equal size: 33 each, the bar ends at 99.
  EXPECT_EQ(3 * FileShareInPercent(100, 300), 99);
  // 300 and 700 of 1000 bytes: 30 and 70, the bar ends at 100.
  EXPECT_EQ(FileShareInPercent(300, 1000) + FileShareInPercent(700, 1000), 100);
}

TEST(InstallProgress, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(FileShareInPercent(1, 200), 0);  // 0.5
  EXPECT_EQ(FileShareInPercent(3, 200), 2);  // 1.5
  EXPECT_EQ(FileShareInPercent(5, 200), 2);  // 2.5
}

TEST(InstallProgress, ZeroTotalAddsNothingAndTotalsAreUnsigned) {
  EXPECT_EQ(FileShareInPercent(1000, 0), 0);
  // A total above 2 GiB arrives as a negative 32-bit number.
  const int32_t threeGiB = int32_t(uint32_t(3) << 30);
  EXPECT_EQ(FileShareInPercent(int32_t(uint32_t(3) << 29), threeGiB), 50);
}
