#include "central_directory.h"

#include <gtest/gtest.h>

#include <cstring>

#include "test_archive.h"
#include "zip_format.h"
#include "zip_messages.h"

using namespace ziptest;
using spantest::BuildSingleArchive;
using spantest::Member;

namespace {

std::vector<Member> ThreeMembers() {
  return {MakeMember("readme.txt", 120), MakeMember("bin/tool.exe", 3000, "the tool"),
          MakeMember("bin/data/logo.bmp", 0)};
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

TEST(ReadDirectory, PlainArchiveGivesEveryEntryInDirectoryOrder) {
  const Bytes archive = BuildSingleArchive(ThreeMembers());
  const ListOutcome out = ListBytes(archive);
  ASSERT_EQ(out.error, 0);
  EXPECT_TRUE(out.warnings.empty());
  const auto& e = out.listing.entries;
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].fileName, "readme.txt");
  EXPECT_EQ(e[1].fileName, "bin/tool.exe");  // separators are the component's business
  EXPECT_EQ(e[1].fileComment, "the tool");
  EXPECT_EQ(e[2].fileName, "bin/data/logo.bmp");
  EXPECT_EQ(e[1].uncompressedSize, 3000u);
  EXPECT_EQ(e[1].compressedSize, 3000u);
  EXPECT_EQ(e[1].fileNameLength, 12);
  EXPECT_EQ(e[1].fileCommentLength, 8);
  EXPECT_EQ(e[0].localHeaderOffset, 0u);
  EXPECT_EQ(out.listing.sfxOffset, 0);
  EXPECT_EQ(out.listing.endDiskNumber, 0);
  EXPECT_FALSE(out.listing.isSpanned);
  EXPECT_FALSE(out.listing.structureWarning);
  EXPECT_TRUE(out.listing.comment.empty());
}

TEST(ReadDirectory, HeaderCopyIsTheCentralHeaderAfterItsSignature) {
  const Bytes archive = BuildSingleArchive(ThreeMembers());
  const ListOutcome out = ListBytes(archive);
  ASSERT_EQ(out.error, 0);
  size_t at = DirectoryOffset(archive);
  for (const auto& entry : out.listing.entries) {
    EXPECT_EQ(0, std::memcmp(static_cast<const zipfmt::ZipDirHeader*>(&entry), &archive[at + 4], 42));
    EXPECT_EQ(entry.crc32, zipfmt::Get32(&archive[at + zipfmt::central::kCrc]));
    at += zipfmt::kCentralHeaderSize + entry.fileNameLength + entry.extraFieldLength + entry.fileCommentLength;
  }
}

TEST(ReadDirectory, ArchiveCommentIsFoundByTheBackwardSearch) {
  spantest::SetOptions options;
  options.archiveComment = "Talvenor 1.0 - Installationsarchiv";
  const ListOutcome out = ListBytes(BuildSingleArchive(ThreeMembers(), options));
  ASSERT_EQ(out.error, 0);
  EXPECT_EQ(out.listing.comment, options.archiveComment);
  EXPECT_EQ(out.listing.entries.size(), 3u);
  EXPECT_TRUE(out.warnings.empty());
}

TEST(ReadDirectory, EmptyArchiveOfTwentyTwoBytes) {
  const Bytes archive = BuildSingleArchive({});
  ASSERT_EQ(archive.size(), 22u);
  const ListOutcome out = ListBytes(archive);
  EXPECT_EQ(out.error, 0);
  EXPECT_TRUE(out.listing.entries.empty());
  EXPECT_EQ(out.listing.sfxOffset, 0);
  EXPECT_TRUE(out.warnings.empty());
}

TEST(ReadDirectory, StubInFrontWithAdjustedOffsetsGivesTheStubSize) {
  const Bytes stub(4096, 0x90);
  Bytes archive = BuildSingleArchive(ThreeMembers());
  ShiftOffsets(archive, uint32_t(stub.size()));
  const ListOutcome out = ListBytes(Concat(stub, archive));
  ASSERT_EQ(out.error, 0);
  EXPECT_EQ(out.listing.sfxOffset, 4096);
  EXPECT_FALSE(out.listing.structureWarning);
  EXPECT_TRUE(out.warnings.empty());
}

TEST(ReadDirectory, StubPutInFrontLaterWarnsAndStillCountsTheStub) {
  const Bytes stub(777, 'M');
  const ListOutcome out = ListBytes(Concat(stub, BuildSingleArchive(ThreeMembers())));
  ASSERT_EQ(out.error, 0);
  EXPECT_EQ(out.listing.entries.size(), 3u);
  EXPECT_EQ(out.listing.sfxOffset, 777);
  EXPECT_TRUE(out.listing.structureWarning);
  EXPECT_EQ(out.warnings, std::vector<int>{zipmsg::kStructureWarning});
}

TEST(ReadDirectory, TrailingDataWarnsAndTheListingGoesOn) {
  Bytes archive = BuildSingleArchive(ThreeMembers());
  const Bytes trailer(100, 'x');
  const ListOutcome out = ListBytes(Concat(archive, trailer));
  ASSERT_EQ(out.error, 0);
  EXPECT_EQ(out.warnings, std::vector<int>{zipmsg::kTrailingData});
  EXPECT_EQ(out.listing.entries.size(), 3u);
  EXPECT_FALSE(out.listing.structureWarning);  // the end position was corrected
  EXPECT_EQ(out.listing.sfxOffset, 0);
}

TEST(ReadDirectory, ZeroPaddingToA512MultipleIsNoTrailingData) {
  Bytes archive = BuildSingleArchive(ThreeMembers());
  const size_t padded = (archive.size() / 512 + 1) * 512;
  Bytes zeros(padded - archive.size(), 0);
  ListOutcome out = ListBytes(Concat(archive, zeros));
  ASSERT_EQ(out.error, 0);
  EXPECT_TRUE(out.warnings.empty());
  EXPECT_EQ(out.listing.entries.size(), 3u);

  // One byte that is not zero, or padding that does not reach a 512 multiple, is data.
  zeros.back() = 1;
  EXPECT_EQ(ListBytes(Concat(archive, zeros)).warnings, std::vector<int>{zipmsg::kTrailingData});
  zeros.back() = 0;
  zeros.pop_back();
  EXPECT_EQ(ListBytes(Concat(archive, zeros)).warnings, std::vector<int>{zipmsg::kTrailingData});
}

TEST(ReadDirectory, ZerosOf512OrMoreAreTrailingDataEvenAtA512Multiple) {
  Bytes archive = BuildSingleArchive(ThreeMembers());
  const size_t padded = (archive.size() / 512 + 2) * 512;  // more than 512 bytes after it
  const Bytes zeros(padded - archive.size(), 0);
  ASSERT_GE(zeros.size(), 512u);
  EXPECT_EQ(ListBytes(Concat(archive, zeros)).warnings, std::vector<int>{zipmsg::kTrailingData});
}

TEST(ReadDirectory, CommentRunningPastTheEndWarns) {
  spantest::SetOptions options;
  options.archiveComment = "a comment that is cut";
  Bytes archive = BuildSingleArchive(ThreeMembers(), options);
  archive.resize(archive.size() - 5);
  const ListOutcome out = ListBytes(archive);
  ASSERT_EQ(out.error, 0);
  EXPECT_EQ(out.warnings, std::vector<int>{zipmsg::kTrailingData});
  EXPECT_EQ(out.listing.comment, "a comment that i");
  EXPECT_EQ(out.listing.entries.size(), 3u);
}

TEST(ReadDirectory, FileWithoutEndRecord) {
  const Bytes text(5000, 'a');
  EXPECT_EQ(ListBytes(text).error, zipmsg::kNotAnArchive);
  EXPECT_EQ(ListBytes(Bytes{'P', 'K'}).error, zipmsg::kNotAnArchive);
  EXPECT_EQ(ListBytes(Bytes{}).error, zipmsg::kNotAnArchive);

  const ListOutcome labelled = ListBytes(text, 3);
  EXPECT_EQ(labelled.error, zipmsg::kDiskHasNoEndRecord);
  EXPECT_EQ(labelled.errorNumber, 3);
}

TEST(ReadDirectory, FirstDiskOfASetWithoutEndRecord) {
  const auto set = spantest::BuildEvenSpanSet(ThreeMembers(), 3);
  EXPECT_EQ(ListBytes(set.parts[0], 1).error, zipmsg::kFirstDiskOfSet);
  EXPECT_EQ(ListBytes(set.parts[0], 2).error, zipmsg::kNoEndRecordOnSet);
  EXPECT_EQ(ListBytes(set.parts[0]).error, zipmsg::kNoEndRecordOnSet);
}

TEST(ReadDirectory, DamagedDirectoryGivesTheIdOfTheFailingRead) {
  const Bytes good = BuildSingleArchive(ThreeMembers());
  const size_t dir = DirectoryOffset(good);

  Bytes badSignature = good;
  badSignature[dir] = 'Q';
  EXPECT_EQ(ListBytes(badSignature).error, zipmsg::kCentralSignature);

  Bytes longName = good;  // the name runs past the end of the file
  zipfmt::Put16(&longName[dir + zipfmt::central::kNameLen], 0xFFF0);
  EXPECT_EQ(ListBytes(longName).error, zipmsg::kCentralName);

  Bytes longExtra = good;
  zipfmt::Put16(&longExtra[dir + zipfmt::central::kExtraLen], 0xFFF0);
  EXPECT_EQ(ListBytes(longExtra).error, zipmsg::kSeekFailed);

  Bytes longComment = good;
  zipfmt::Put16(&longComment[dir + zipfmt::central::kCommentLen], 0xFFF0);
  EXPECT_EQ(ListBytes(longComment).error, zipmsg::kCentralComment);

  Bytes tooManyEntries = good;  // the fourth header would be read from the 22-byte end record
  const size_t record = good.size() - zipfmt::kEndRecordSize;
  zipfmt::Put16(&tooManyEntries[record + 10], 4);
  EXPECT_EQ(ListBytes(tooManyEntries).error, zipmsg::kCentralHeaderRead);

  Bytes hugeDirectory = good;  // the directory would begin before the file
  zipfmt::Put32(&hugeDirectory[record + 12], 0x7FFFFFFF);
  EXPECT_EQ(ListBytes(hugeDirectory).error, zipmsg::kSeekFailed);
}

TEST(ReadDirectory, ShortHeaderAtTheEndOfTheLastDisk) {
  // A 10-byte directory claiming one entry: its 46-byte header runs past the end of the file.
  Bytes archive(10, 0);
  Bytes record(zipfmt::kEndRecordSize);
  zipfmt::EndRecord r;
  r.entriesOnDisk = r.totalEntries = 1;
  r.directorySize = 10;
  r.directoryOffset = 0;
  r.Write(record.data());
  EXPECT_EQ(ListBytes(Concat(archive, record)).error, zipmsg::kCentralHeaderRead);
}

TEST(ReadDirectory, SetListedFromItsLastDiskReadsTheDirectoryAcrossDisks) {
  std::vector<Member> members;
  for (int i = 0; i < 40; ++i) members.push_back(MakeMember("file" + std::to_string(i) + ".dat", 200));
  // Cuts inside the directory: it starts on an earlier disk and runs on, headers split.
  const auto built = spantest::BuildSpanSet(members, {4000, 3000, 2700, 800});
  ASSERT_EQ(built.parts.size(), 5u);
  const int directoryDisk = built.centralHeaders.front().disk;
  ASSERT_LT(directoryDisk, 4);
  ASSERT_NE(directoryDisk, built.centralHeaders.back().disk);

  MemoryDisks disks(built.parts);
  const ListOutcome out = ListDisks(disks);
  ASSERT_EQ(out.error, 0) << out.error;
  EXPECT_EQ(out.listing.endDiskNumber, 4);
  EXPECT_TRUE(out.listing.isSpanned);
  ASSERT_EQ(out.listing.entries.size(), 40u);
  EXPECT_EQ(out.listing.entries[39].fileName, "file39.dat");
  EXPECT_EQ(disks.changes.front(), directoryDisk);
  EXPECT_EQ(disks.changes.back(), built.centralHeaders.back().disk);
  EXPECT_FALSE(out.listing.structureWarning);
}

TEST(ReadDirectory, DiskZeroWithMarkerIsSpanned) {
  const auto built = spantest::BuildSpanSet({MakeMember("a.txt", 10)}, {});
  ASSERT_EQ(built.parts.size(), 1u);  // one part, but with the marker in front
  const ListOutcome out = ListBytes(built.parts[0]);
  EXPECT_TRUE(out.listing.isSpanned);
  EXPECT_EQ(out.listing.endDiskNumber, 0);
}

TEST(LabelDiskNumber, ReadsThreeDigitsAfterTheMark) {
  EXPECT_EQ(zipfmt::LabelDiskNumber("PKBACK# 001"), 1);
  EXPECT_EQ(zipfmt::LabelDiskNumber("PKBACK# 012"), 12);
  EXPECT_EQ(zipfmt::LabelDiskNumber("PKBACK# 12"), -1);
  EXPECT_EQ(zipfmt::LabelDiskNumber("PKBACK# 0x1"), -1);
  EXPECT_EQ(zipfmt::LabelDiskNumber("BACKUP  001"), -1);
  EXPECT_EQ(zipfmt::LabelDiskNumber(""), -1);
}
