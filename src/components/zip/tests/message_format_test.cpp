#include "message_format.h"

#include <gtest/gtest.h>

using zipcore::FillPlaceholders;

TEST(FillPlaceholders, FillsTextsAndNumbersInOrder) {
  EXPECT_EQ(FillPlaceholders("Unbekanntes Laufwerk: %s", {"Q:\\"}), "Unbekanntes Laufwerk: Q:\\");
  EXPECT_EQ(FillPlaceholders("Bitte legen Sie Diskette %.1d von %.1d ein", {2, 5}),
            "Bitte legen Sie Diskette 2 von 5 ein");
  EXPECT_EQ(FillPlaceholders("\nin Laufwerk: %s", {"A:\\"}), "\nin Laufwerk: A:\\");
  EXPECT_EQ(FillPlaceholders("Teil %3d", {7}), "Teil   7");
  EXPECT_EQ(FillPlaceholders("100%% fertig", {}), "100% fertig");
}

TEST(FillPlaceholders, PlaceholdersWithoutMatchingValuesStay) {
  EXPECT_EQ(FillPlaceholders("Laufwerk %s fehlt", {}), "Laufwerk %s fehlt");
  EXPECT_EQ(FillPlaceholders("Laufwerk %s fehlt", {3}), "Laufwerk %s fehlt");
  EXPECT_EQ(FillPlaceholders("Diskette %d", {"eins"}), "Diskette %d");
  EXPECT_EQ(FillPlaceholders("%d von %d", {1}), "1 von %d");
  EXPECT_EQ(FillPlaceholders("kaputt %", {1}), "kaputt %");
  EXPECT_EQ(FillPlaceholders("%n %p %x", {1}), "%n %p %x");  // nothing but d, i, u and s is filled
}

TEST(FillPlaceholders, LongTextsAreNotCut) {
  const std::string longText(5000, 'x');
  EXPECT_EQ(FillPlaceholders("<%s>", {longText}), "<" + longText + ">");
}
