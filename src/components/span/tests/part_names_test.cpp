#include "part_names.h"

#include <gtest/gtest.h>

using namespace span;

TEST(PartFileName, ReplacesTheThreeCharactersBeforeTheExtension) {
  EXPECT_EQ(PartFileName("C:\\Setup\\setup003.zip", 0), "C:\\Setup\\setup001.zip");
  EXPECT_EQ(PartFileName("C:\\Setup\\setup003.zip", 2), "C:\\Setup\\setup003.zip");
  EXPECT_EQ(PartFileName("C:\\Setup\\setup003.zip", 11), "C:\\Setup\\setup012.zip");
  EXPECT_EQ(PartFileName("/tmp/set/archive.zip", 1), "/tmp/set/arch002.zip");
  // More than 999 parts: the number grows, it is not cut.
  EXPECT_EQ(PartFileName("setup003.zip", 999), "setup1000.zip");
}

TEST(PartFileName, ExtensionIsTakenFromTheLastPathComponentOnly) {
  EXPECT_EQ(PartFileName("C:\\my.dir\\setup003", 0), "C:\\my.dir\\setup001");
  EXPECT_EQ(PartFileName("set.up003.zip", 1), "set.up002.zip");
  EXPECT_EQ(PartFileName("A:setup003.zip", 0), "A:setup001.zip");
  // A stem shorter than three characters is replaced whole, the folder is kept.
  EXPECT_EQ(PartFileName("C:\\x\\ab.zip", 0), "C:\\x\\001.zip");
  EXPECT_EQ(PartFileName("C:\\x\\.zip", 0), "C:\\x\\001.zip");
}

TEST(PartNumberInName, ReadsThreeDigitsOrNothing) {
  EXPECT_EQ(PartNumberInName("C:\\Setup\\setup003.zip"), 3);
  EXPECT_EQ(PartNumberInName("setup001.zip"), 1);
  EXPECT_EQ(PartNumberInName("part120"), 120);
  EXPECT_EQ(PartNumberInName("setup.zip"), -1);
  EXPECT_EQ(PartNumberInName("x12a.zip"), -1);
  EXPECT_EQ(PartNumberInName("C:\\d001\\12.zip"), -1);
}

TEST(NoEndRecordError, FirstPartOtherPartOrNoNumber) {
  const zipfmt::ZipError first = NoEndRecordError("D:\\setup001.zip");
  EXPECT_EQ(first.Id(), zipmsg::kFirstDiskOfSet);
  EXPECT_FALSE(first.HasNumber());

  const zipfmt::ZipError middle = NoEndRecordError("D:\\setup002.zip");
  EXPECT_EQ(middle.Id(), zipmsg::kDiskHasNoEndRecord);
  ASSERT_TRUE(middle.HasNumber());
  EXPECT_EQ(middle.Number(), 2);

  EXPECT_EQ(NoEndRecordError("D:\\Setup.zip").Id(), zipmsg::kNotAnArchive);
}

TEST(FoldCase, AsciiAndCodePage1252Letters) {
  EXPECT_EQ(FoldCase("ReadMe.TXT"), "readme.txt");
  EXPECT_EQ(FoldCase("\xC4\xD6\xDC"), "\xE4\xF6\xFC");  // umlauts
  EXPECT_EQ(FoldCase("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
  EXPECT_EQ(FoldCase("\xD7\xDF"), "\xD7\xDF");  // multiplication sign, sharp s
  EXPECT_EQ(FoldCase("1-2_3\\[z]"), "1-2_3\\[z]");
}
