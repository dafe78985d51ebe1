#include "wizard_rules.h"

#include <gtest/gtest.h>

using wizard::LanguageNames;
using wizard::ProgressWindowTop;
using wizard::WithoutLastFour;

TEST(WizardRules, LanguageListTakesLngFilesOfAnyCaseInListOrder) {
  const std::vector<std::string> files = {"English.LNG", "german.lng", "liesmich.txt", "Setup.inf",
                                          "setup.exe",   "x.Lng",      "lng",          "notes.lng.txt"};
  EXPECT_EQ(LanguageNames(files), (std::vector<std::string>{"English", "german", "x"}));
  EXPECT_TRUE(LanguageNames({}).empty());
}

TEST(WizardRules, TheLanguageSettingLosesItsLastFourCharacters) {
  EXPECT_EQ(WithoutLastFour("ENGLISH.lng"), "ENGLISH");
  EXPECT_EQ(WithoutLastFour("german.lng"), "german");
  EXPECT_EQ(WithoutLastFour(".lng"), "");
  EXPECT_EQ(WithoutLastFour("abc"), "");
  EXPECT_EQ(WithoutLastFour(""), "");
}

TEST(WizardRules, ProgressWindowTopIsTheScreenHeightBy1Point2RoundedHalfEven) {
  EXPECT_EQ(ProgressWindowTop(768), 640);
  EXPECT_EQ(ProgressWindowTop(600), 500);
  EXPECT_EQ(ProgressWindowTop(1024), 853);  // 853.33
  EXPECT_EQ(ProgressWindowTop(1080), 900);
  EXPECT_EQ(ProgressWindowTop(1050), 875);
  // Exact halves: 12.5 goes down to 12, 7.5 up to 8, 2.5 down to 2.
  EXPECT_EQ(ProgressWindowTop(15), 12);
  EXPECT_EQ(ProgressWindowTop(9), 8);
  EXPECT_EQ(ProgressWindowTop(3), 2);
  EXPECT_EQ(ProgressWindowTop(0), 0);
}
