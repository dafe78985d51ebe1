#include "name_conversion.h"

#include <gtest/gtest.h>

using namespace zipfmt;

TEST(UsesOemText, AutomaticChoiceFollowsTheHostSystem) {
  EXPECT_TRUE(UsesOemText(cpAuto, kHostFat, 20));
  EXPECT_TRUE(UsesOemText(cpAuto, kHostHpfs, 20));
  EXPECT_TRUE(UsesOemText(cpAuto, kHostNtfs, 50));
  EXPECT_FALSE(UsesOemText(cpAuto, kHostNtfs, 20));
  EXPECT_FALSE(UsesOemText(cpAuto, kHostNtfs, 51));
  EXPECT_FALSE(UsesOemText(cpAuto, 3, 20));   // Unix
  EXPECT_FALSE(UsesOemText(cpAuto, 10, 20));  // Windows NTFS by name only
  EXPECT_FALSE(UsesOemText(cpAuto, 14, 63));  // VFAT
}

TEST(UsesOemText, FixedChoicesIgnoreTheHostSystem) {
  for (uint8_t host : {kHostFat, kHostHpfs, kHostNtfs, uint8_t(3)}) {
    EXPECT_TRUE(UsesOemText(cpOEM, host, 50));
    EXPECT_TRUE(UsesOemText(cpOEM, host, 20));
    EXPECT_FALSE(UsesOemText(cpNone, host, 50));
    EXPECT_FALSE(UsesOemText(cpNone, host, 20));
  }
}

TEST(StoredTextEncoding, TheUtf8FlagComesBeforeTheHostRule) {
  EXPECT_EQ(StoredTextEncoding(cpAuto, kFlagUtf8, kHostFat, 20), TextEncoding::kUtf8);
  EXPECT_EQ(StoredTextEncoding(cpOEM, kFlagUtf8 | 8, 3, 20), TextEncoding::kUtf8);
  EXPECT_EQ(StoredTextEncoding(cpAuto, 8, kHostFat, 20), TextEncoding::kOem);
  EXPECT_EQ(StoredTextEncoding(cpAuto, 0, kHostNtfs, 50), TextEncoding::kOem);
  EXPECT_EQ(StoredTextEncoding(cpAuto, 0, 3, 20), TextEncoding::kAnsi);
  EXPECT_EQ(StoredTextEncoding(cpNone, 0, kHostFat, 20), TextEncoding::kAnsi);
}

TEST(ConvertHighBytes, OnlyBytesFromHex80AreMapped) {
  // Code page 850 to 1252 for the German letters.
  const auto oem850 = [](char c) -> char {
    switch (static_cast<unsigned char>(c)) {
      case 0x81: return char(0xFC);  // ü
      case 0x84: return char(0xE4);  // ä
      case 0xE1: return char(0xDF);  // ß
      default: return '?';
    }
  };
  EXPECT_EQ(ConvertHighBytes("Gr\x81\xE1"
                             "e/\x84.txt",
                             oem850),
            "Gr\xFC\xDF"
            "e/\xE4.txt");
  EXPECT_EQ(ConvertHighBytes("plain ASCII 0-9 ~", oem850), "plain ASCII 0-9 ~");
  EXPECT_EQ(ConvertHighBytes("", oem850), "");
}

TEST(ToBackslashes, EverySlash) {
  EXPECT_EQ(ToBackslashes("a/b/c.txt"), "a\\b\\c.txt");
  EXPECT_EQ(ToBackslashes("/lead/"), "\\lead\\");
  EXPECT_EQ(ToBackslashes("none"), "none");
}
