#include "file_parts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "memory_parts.h"
#include "part_names.h"
#include "span_set_builder.h"

using namespace span;
using namespace spantest;
namespace fs = std::filesystem;

namespace {

class FilePartsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / ("span_test_" + std::to_string(std::rand()) + "_" + info->name());
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  // Writes the parts as setup001.zip, setup002.zip, ... and returns the last one's name.
  std::string WriteParts(const Parts& parts) {
    std::string last;
    for (size_t i = 0; i < parts.size(); ++i) {
      last = PartFileName(Path("setup000.zip"), int(i));
      std::ofstream out(last, std::ios::binary);
      out.write(reinterpret_cast<const char*>(parts[i].data()), std::streamsize(parts[i].size()));
    }
    return last;
  }

  static Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  int JoinFiles(const std::string& listed, const std::string& joined) {
    try {
      FilePartSource source(listed);
      FileJoinSink sink(joined);
      NoEvents events;
      JoinParts(source, sink, events);
      EXPECT_TRUE(sink.Close());
      return 0;
    } catch (const zipfmt::ZipError& e) {
      return e.Id();
    }
  }

  fs::path folder_;
};

std::vector<Member> Members() {
  std::vector<Member> m(4);
  m[0].name = "Talvenor.exe";
  m[0].data = PatternBytes(50000, 11);
  m[1].name = "logos/op1.bmp";
  m[1].data = PatternBytes(20000, 12);
  m[1].dataDescriptor = true;
  m[2].name = "ringtones/";
  m[3].name = "ringtones/tone.mid";
  m[3].data = PatternBytes(30000, 13);
  return m;
}

}  // namespace

TEST_F(FilePartsTest, JoinsNumberedPartFiles) {
  const auto members = Members();
  SetOptions options;
  options.archiveComment = "Talvenor";
  const std::string listed = WriteParts(BuildEvenSpanSet(members, 3, options).parts);
  EXPECT_EQ(fs::path(listed).filename().string(), "setup003.zip");
  const std::string joined = Path("joined.zip");
  ASSERT_EQ(JoinFiles(listed, joined), 0);
  EXPECT_EQ(ReadFile(joined), BuildSingleArchive(members, options));
#ifndef _WIN32
  // An extractor of its own checks the result as well, when the system has one.
  if (std::system("python3 -c 'import zipfile' >/dev/null 2>&1") == 0) {
    const std::string check =
        "python3 -c 'import sys, zipfile; sys.exit(zipfile.ZipFile(sys.argv[1]).testzip() is not None)' '" + joined +
        "'";
    EXPECT_EQ(std::system(check.c_str()), 0);
  }
  if (std::system("unzip -v >/dev/null 2>&1") == 0) {
    EXPECT_EQ(std::system(("unzip -tqq '" + joined + "' >/dev/null").c_str()), 0);
  }
#endif
}

TEST_F(FilePartsTest, ListedFirstOrMiddlePartOrMissingPart) {
  const Parts parts = BuildEvenSpanSet(Members(), 3).parts;
  const std::string last = WriteParts(parts);
  EXPECT_EQ(JoinFiles(PartFileName(last, 0), Path("j1.zip")), zipmsg::kFirstDiskOfSet);
  try {
    FilePartSource source(PartFileName(last, 1));
    MemorySink sink;
    NoEvents events;
    JoinParts(source, sink, events);
    FAIL() << "part 002 has no end record";
  } catch (const zipfmt::ZipError& e) {
    EXPECT_EQ(e.Id(), zipmsg::kDiskHasNoEndRecord);
    EXPECT_EQ(e.Number(), 2);
  }
  fs::remove(PartFileName(last, 1));
  EXPECT_EQ(JoinFiles(last, Path("j2.zip")), zipmsg::kFileNotFound);
  EXPECT_EQ(JoinFiles(Path("absent003.zip"), Path("j3.zip")), zipmsg::kFileNotFound);
}

TEST_F(FilePartsTest, SourceSeeksOnlyInsideThePart) {
  const std::string last = WriteParts({Bytes(100, 'x')});
  FilePartSource source(last);
  source.OpenLastPart(0);
  EXPECT_EQ(source.Size(), 100u);
  EXPECT_TRUE(source.Seek(100));
  uint8_t b[8];
  EXPECT_EQ(source.Read(b, sizeof b), 0u);
  EXPECT_FALSE(source.Seek(101));
  ASSERT_TRUE(source.Seek(96));
  EXPECT_EQ(source.Read(b, sizeof b), 4u);
}

TEST_F(FilePartsTest, JoinedFileThatCannotBeCreated) {
  EXPECT_THROW(
      {
        try {
          FileJoinSink sink(Path("no/such/folder/joined.zip"));
        } catch (const zipfmt::ZipError& e) {
          EXPECT_EQ(e.Id(), zipmsg::kCreateJoined);
          throw;
        }
      },
      zipfmt::ZipError);
}
