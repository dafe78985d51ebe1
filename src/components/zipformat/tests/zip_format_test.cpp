#include "zip_format.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zipfmt;

namespace {

std::vector<uint8_t> EndRecordBytes(const std::string& comment, uint32_t dirOffset = 100) {
  std::vector<uint8_t> b(kEndRecordSize);
  EndRecord r;
  r.totalEntries = r.entriesOnDisk = 3;
  r.directorySize = 150;
  r.directoryOffset = dirOffset;
  r.commentLength = uint16_t(comment.size());
  r.Write(b.data());
  b.insert(b.end(), comment.begin(), comment.end());
  return b;
}

}  // namespace

TEST(EndRecord, WriteThenParseKeepsEveryField) {
  uint8_t b[kEndRecordSize];
  EndRecord r{1, 2, 3, 4, 0x11223344, 0x55667788, 9};
  r.Write(b);
  EXPECT_EQ(Get32(b), kEndRecordSig);
  EndRecord p = EndRecord::Parse(b);
  EXPECT_EQ(p.thisDisk, 1);
  EXPECT_EQ(p.directoryDisk, 2);
  EXPECT_EQ(p.entriesOnDisk, 3);
  EXPECT_EQ(p.totalEntries, 4);
  EXPECT_EQ(p.directorySize, 0x11223344u);
  EXPECT_EQ(p.directoryOffset, 0x55667788u);
  EXPECT_EQ(p.commentLength, 9);
}

TEST(FindEndRecord, RecordAtTheVeryEndAndWithAComment) {
  auto plain = EndRecordBytes("");
  auto loc = FindEndRecord(plain.data(), plain.size(), plain.size());
  ASSERT_TRUE(loc.found);
  EXPECT_EQ(loc.recordOffset, 0u);
  EXPECT_EQ(loc.trailingBytes, 0);

  std::vector<uint8_t> file(1000, 'x');
  auto rec = EndRecordBytes("Talvenor archive");
  file.insert(file.end(), rec.begin(), rec.end());
  loc = FindEndRecord(file.data(), file.size(), file.size());
  ASSERT_TRUE(loc.found);
  EXPECT_EQ(loc.recordOffset, 1000u);
  EXPECT_EQ(loc.comment, "Talvenor archive");
  EXPECT_EQ(loc.trailingBytes, 0);
}

TEST(FindEndRecord, TailWindowOfALargerFileGivesFileOffsets) {
  auto rec = EndRecordBytes("c");
  // Only the tail is passed; the file is larger than the tail.
  auto loc = FindEndRecord(rec.data(), rec.size(), 5000);
  ASSERT_TRUE(loc.found);
  EXPECT_EQ(loc.recordOffset, 5000u - rec.size());
}

TEST(FindEndRecord, TrailingDataAndZeroPadding) {
  std::vector<uint8_t> file(512 - kEndRecordSize - 10, 'x');
  auto rec = EndRecordBytes("");
  file.insert(file.end(), rec.begin(), rec.end());
  file.resize(512, 0);  // zero padding up to a multiple of 512
  auto loc = FindEndRecord(file.data(), file.size(), file.size());
  ASSERT_TRUE(loc.found);
  EXPECT_EQ(loc.trailingBytes, 10);
  EXPECT_TRUE(loc.trailingIsPadding);

  file[511] = 1;  // not all zero: real trailing data
  loc = FindEndRecord(file.data(), file.size(), file.size());
  ASSERT_TRUE(loc.found);
  EXPECT_FALSE(loc.trailingIsPadding);

  file.push_back(0);  // size no longer a multiple of 512
  file[511] = 0;
  loc = FindEndRecord(file.data(), file.size(), file.size());
  EXPECT_FALSE(loc.trailingIsPadding);
}

TEST(FindEndRecord, CommentLongerThanTheFileIsCutNotOverread) {
  auto rec = EndRecordBytes("");
  Put16(rec.data() + 20, 500);  // states 500 comment bytes that are not there
  rec.push_back('z');           // forces the backward search
  auto loc = FindEndRecord(rec.data(), rec.size(), rec.size());
  ASSERT_TRUE(loc.found);
  EXPECT_EQ(loc.comment, "z");
  EXPECT_EQ(loc.trailingBytes, 1 - 500);
}

TEST(FindEndRecord, NoRecordOrTooShort) {
  std::vector<uint8_t> junk(300, 'P');
  EXPECT_FALSE(FindEndRecord(junk.data(), junk.size(), junk.size()).found);
  EXPECT_FALSE(FindEndRecord(junk.data(), 10, 10).found);
}
