// Archives made to escape the extraction folder, to disagree with themselves or to end early.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engine_options.h"
#include "posix_files.h"
#include "temp_folder.h"
#include "test_zip.h"
#include "unzip_engine.h"

using namespace ziptest;

namespace {

// The extraction folder "out" with a sentinel file and folder beside it.
class Hostile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((root / "beside").c_str(), 0755), 0);
    WriteFile(root / "sentinel.txt", "sentinel");
  }

  int Run(const std::vector<uint8_t>& archive, const unzip::Options& options = AllMembers()) {
    MemoryInput input(archive);
    unzip::PosixSink sink(out);
    return unzip::Extract(input, sink, listener, options);
  }

  // Nothing was written beside the extraction folder.
  void ExpectSentinelsUntouched() {
    std::vector<std::string> outside;
    for (const std::string& entry : ListTree(root.path()))
      if (entry.compare(0, 4, "out/") != 0 || entry == "out/") outside.push_back(entry);
    EXPECT_EQ(outside, (std::vector<std::string>{"beside/", "out/", "sentinel.txt"}));
    EXPECT_EQ(ReadFile(root / "sentinel.txt"), "sentinel");
  }

  TempFolder root;
  std::string out = root / "out";
  RecordingListener listener;
};

TEST_F(Hostile, NamesOutsideTheFolderAreRefused) {
  const std::vector<std::string> names = {"../sentinel.txt",
                                          "..\\sentinel.txt",
                                          "a/../../sentinel.txt",
                                          "/tmp/evil.txt",
                                          "\\evil.txt",
                                          "\\\\server\\share\\evil.txt",
                                          "\\\\?\\C:\\evil.txt",
                                          "C:\\evil.txt",
                                          "C:evil.txt",
                                          "file.txt:stream",
                                          "../beside/x.txt",
                                          "dot./x.txt",
                                          "blank /x.txt",
                                          "CON",
                                          "nul.txt",
                                          "sub/COM1.log",
                                          "LPT9",
                                          "..",
                                          "a/..",
                                          "../"};
  ZipWriter w;
  for (const std::string& n : names) w.Add(File(n, "evil"));
  w.Add(File("good.txt", "good"));

  EXPECT_EQ(Run(w.Finish()), 1);
  ExpectSentinelsUntouched();
  EXPECT_EQ(ListTree(out), (std::vector<std::string>{"good.txt"}));
  for (const std::string& n : names) EXPECT_TRUE(listener.HasMessage(unzip::kErrUnsafeName, n)) << n;
  EXPECT_EQ(listener.OfAction(unzipabi::kNewFile).size(), 1u);

  // Without directory names the same archive still writes nothing outside.
  unzip::Options flat = AllMembers();
  flat.dirNames = false;
  EXPECT_EQ(Run(w.Finish(), flat), 1);
  ExpectSentinelsUntouched();
}

TEST_F(Hostile, UnsafeFolderEntriesAreRefused) {
  ZipWriter w;
  Entry up;
  up.name = "../escape/";
  up.method = kStored;
  w.Add(up);
  EXPECT_EQ(Run(w.Finish()), 0);
  ExpectSentinelsUntouched();
  EXPECT_FALSE(Exists(root / "escape"));
  EXPECT_TRUE(listener.HasMessage(unzip::kErrUnsafeName, "../escape/"));
}

// One damage to the local header, and whether the member must then be refused.
struct LocalDamage {
  const char* what;
  size_t offset;  // within the local header
  uint32_t value;
  int width;
};

TEST_F(Hostile, LocalHeaderMustAgreeWithTheDirectory) {
  const LocalDamage damages[] = {
      {"signature", 0, 0x12345678, 4}, {"method", 8, 0, 2},           {"encryption flag", 6, 1, 2},
      {"crc", 14, 0x11111111, 4},      {"compressed size", 18, 5, 4}, {"uncompressed size", 22, 99999, 4},
      {"name length", 26, 3, 2},       {"name", 30, 0x58, 1},
  };
  for (const LocalDamage& d : damages) {
    ZipWriter w;
    w.Add(File("victim.txt", TextData(2000, 1)));
    w.Add(File("other.txt", "other"));
    std::vector<uint8_t> archive = w.Finish();
    const size_t at = w.At(0).localOffset + d.offset;
    if (d.width == 4) Put32(archive, at, d.value);
    if (d.width == 2) Put16(archive, at, uint16_t(d.value));
    if (d.width == 1) archive[at] = uint8_t(d.value);

    listener.events.clear();
    EXPECT_EQ(Run(archive), 1) << d.what;
    EXPECT_TRUE(listener.HasMessage(unzip::kErrDamaged, "victim.txt")) << d.what;
    EXPECT_FALSE(Exists(out + "/victim.txt")) << d.what;
    EXPECT_EQ(ReadFile(out + "/other.txt"), "other") << d.what;
  }
}

TEST_F(Hostile, LocalExtraFieldRunningIntoTheNextMemberIsRefused) {
  ZipWriter w;
  w.Add(File("first.txt", TextData(1000, 2)));
  w.Add(File("second.txt", "second"));
  std::vector<uint8_t> archive = w.Finish();
  Put16(archive, w.At(0).localOffset + 28, 40);  // data would now start 40 bytes later
  EXPECT_EQ(Run(archive), 1);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrDamaged, "first.txt"));
}

TEST_F(Hostile, OverlappingMembersAreRefused) {
  // Three directory entries share one local header and its data: a classic way to make a small
  // archive write far more than it holds.
  ZipWriter w;
  w.Add(File("kernel.txt", TextData(50000, 3)));
  w.Add(File("after.txt", "after"));
  std::vector<uint8_t> archive = w.Finish();
  const size_t central = w.At(0).centralOffset;
  const size_t entryLength = w.At(1).centralOffset - central;
  const std::vector<uint8_t> copy(archive.begin() + long(central), archive.begin() + long(central + entryLength));
  archive.insert(archive.begin() + long(central), copy.begin(), copy.end());
  archive.insert(archive.begin() + long(central), copy.begin(), copy.end());
  const size_t end = archive.size() - 22;
  Put16(archive, end + 8, 4);
  Put16(archive, end + 10, 4);
  Put32(archive, end + 12, uint32_t(end - central));

  EXPECT_EQ(Run(archive), 1);
  EXPECT_EQ(ListTree(out), (std::vector<std::string>{"after.txt"}));
  EXPECT_EQ(listener.OfAction(unzipabi::kMessage).size(), 3u);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrDamaged, "kernel.txt"));
}

TEST_F(Hostile, CompressedSizeReachingIntoTheNextMemberIsRefused) {
  ZipWriter w;
  w.Add(File("first.txt", "first", kStored));
  w.Add(File("second.txt", "second", kStored));
  std::vector<uint8_t> archive = w.Finish();
  // Claims the second member's header as its own data.
  const uint32_t stretched = uint32_t(w.At(1).dataOffset + 6 - w.At(0).dataOffset);
  for (size_t header :
       {w.At(0).localOffset + 18, w.At(0).localOffset + 22, w.At(0).centralOffset + 20, w.At(0).centralOffset + 24})
    Put32(archive, header, stretched);
  EXPECT_EQ(Run(archive), 0);
  EXPECT_TRUE(ListTree(out).empty());
  EXPECT_TRUE(listener.HasMessage(unzip::kErrDamaged, "first.txt"));
  EXPECT_TRUE(listener.HasMessage(unzip::kErrDamaged, "second.txt"));
}

TEST_F(Hostile, OutputBeyondTheStatedSizeStopsTheMember) {
  ZipWriter w;
  w.Add(File("bomb.txt", std::string(2 * unzip::kOutputBlockSize, 'z')));
  std::vector<uint8_t> archive = w.Finish();
  Put32(archive, w.At(0).localOffset + 22, 1000);
  Put32(archive, w.At(0).centralOffset + 24, 1000);
  EXPECT_EQ(Run(archive), 0);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrDamaged, "bomb.txt"));
  EXPECT_TRUE(ListTree(out).empty());
}

TEST_F(Hostile, ShortOutputAndBadDeflateData) {
  ZipWriter w;
  w.Add(File("short.txt", TextData(5000, 4)));
  w.Add(File("garbage.txt", TextData(5000, 5)));
  std::vector<uint8_t> archive = w.Finish();
  Put32(archive, w.At(0).localOffset + 22, 6000);
  Put32(archive, w.At(0).centralOffset + 24, 6000);
  for (size_t i = 0; i < w.At(1).dataLength; ++i) archive[w.At(1).dataOffset + i] = 0xFF;
  EXPECT_EQ(Run(archive), 0);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrDamaged, "short.txt"));
  EXPECT_TRUE(listener.HasMessage(unzip::kErrDamaged, "garbage.txt"));
  EXPECT_TRUE(ListTree(out).empty());
}

TEST_F(Hostile, NotAnArchiveAndDamagedDirectory) {
  EXPECT_EQ(Run(std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}), 0);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrArchive, ""));
  EXPECT_EQ(listener.events.back().action, unzipabi::kBatchEnd);
  EXPECT_TRUE(listener.OfAction(unzipabi::kNewFile).empty());

  ZipWriter w;
  w.Add(File("a.txt", "a"));
  std::vector<uint8_t> archive = w.Finish();
  Put32(archive, w.At(0).centralOffset, 0);
  listener.events.clear();
  EXPECT_EQ(Run(archive), 0);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrArchive, ""));

  std::vector<uint8_t> tooLarge = w.Finish();
  Put32(tooLarge, tooLarge.size() - 22 + 12, 0x7FFFFFFF);  // directory larger than the file
  listener.events.clear();
  EXPECT_EQ(Run(tooLarge), 0);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrArchive, ""));
}

TEST_F(Hostile, TruncatedArchivesGiveMessagesAndNoHalfFiles) {
  ZipWriter w;
  w.Add(File("one.txt", TextData(30000, 6)));
  w.Add(File("two.bin", NoiseData(20000, 7), kStored));
  const std::vector<uint8_t> archive = w.Finish();
  for (size_t length = 0; length < archive.size(); length += 97) {
    listener.events.clear();
    std::vector<uint8_t> cut(archive.begin(), archive.begin() + long(length));
    EXPECT_EQ(Run(cut), 0) << length;
    EXPECT_TRUE(listener.HasMessage(unzip::kErrArchive, "")) << length;
    EXPECT_TRUE(ListTree(out).empty()) << length;
  }
}

TEST_F(Hostile, DataCutShortBehindAnIntactDirectory) {
  // A member whose data stops early although the directory is intact (the middle of the file
  // was lost): the member is damaged, the rest goes on.
  ZipWriter w;
  w.Add(File("one.txt", TextData(30000, 6)));
  w.Add(File("two.txt", "two"));
  std::vector<uint8_t> archive = w.Finish();
  const size_t cutFrom = w.At(0).dataOffset + 100;
  const size_t cutLength = w.At(0).dataLength - 100;
  archive.erase(archive.begin() + long(cutFrom), archive.begin() + long(cutFrom + cutLength));
  EXPECT_EQ(Run(archive), 1);  // "two.txt" is found again through the stub correction
  EXPECT_TRUE(listener.HasMessage(unzip::kErrDamaged, "one.txt"));
  EXPECT_FALSE(Exists(out + "/one.txt"));
}

}  // namespace
