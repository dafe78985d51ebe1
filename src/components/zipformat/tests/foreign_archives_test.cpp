// Archives written by other programs (Python's zipfile, zip, 7z, bsdtar), made at test time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "central_directory.h"
#include "test_archive.h"
#include "zip_messages.h"

using namespace ziptest;

namespace {

class FileDisk : public zipfmt::DiskInput {
 public:
  explicit FileDisk(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (file_) {
      std::fseek(file_, 0, SEEK_END);
      size_ = uint64_t(std::ftell(file_));
    }
  }
  ~FileDisk() override {
    if (file_) std::fclose(file_);
  }
  bool ok() const { return file_ != nullptr; }
  uint64_t Size() override { return size_; }
  bool Seek(uint64_t offset) override { return offset <= size_ && std::fseek(file_, long(offset), SEEK_SET) == 0; }
  size_t Read(void* buffer, size_t size) override { return std::fread(buffer, 1, size, file_); }

 private:
  std::FILE* file_;
  uint64_t size_ = 0;
};

bool HasTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

class ForeignArchives : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zip_core_foreign_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    Write("content/hello.txt", std::string(3200, 'h'));
    Write("content/sub/data.bin", std::string(10240, '\x7f'));
  }
  void TearDown() override { Run("rm -rf '" + dir_ + "'"); }

  void Write(const std::string& relative, const std::string& data) {
    const std::string path = dir_ + "/" + relative;
    Run("mkdir -p \"$(dirname '" + path + "')\"");
    std::ofstream(path, std::ios::binary) << data;
  }
  void Run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  ListOutcome List(const std::string& name) {
    FileDisk disk(Path(name));
    EXPECT_TRUE(disk.ok());
    return ListDisks(disk);
  }

  // Names mapped to uncompressed sizes, folders left out.
  static std::map<std::string, uint32_t> Files(const ListOutcome& out) {
    std::map<std::string, uint32_t> files;
    for (const auto& e : out.listing.entries)
      if (!e.fileName.empty() && e.fileName.back() != '/') files[e.fileName] = e.uncompressedSize;
    return files;
  }

  const std::map<std::string, uint32_t> kExpected{{"hello.txt", 3200}, {"sub/data.bin", 10240}};
  std::string dir_;
};

}  // namespace

TEST_F(ForeignArchives, PythonZipfileWithComment) {
  if (!HasTool("python3")) GTEST_SKIP() << "python3 missing";
  Run("cd '" + dir_ +
      "/content' && python3 -c \"import zipfile\n"
      "with zipfile.ZipFile('../py.zip', 'w', zipfile.ZIP_DEFLATED) as z:\n"
      "  z.write('hello.txt'); z.write('sub/data.bin'); z.comment = b'python comment'\"");
  const ListOutcome out = List("py.zip");
  ASSERT_EQ(out.error, 0);
  EXPECT_TRUE(out.warnings.empty());
  EXPECT_EQ(Files(out), kExpected);
  EXPECT_EQ(out.listing.comment, "python comment");
  EXPECT_EQ(out.listing.entries[0].hostSystem, 3);  // written on Unix
}

TEST_F(ForeignArchives, ZipWithCommentAndSelfExtractorStub) {
  if (!HasTool("zip")) GTEST_SKIP() << "zip missing";
  Run("cd '" + dir_ +
      "/content' && zip -q -r ../plain.zip hello.txt sub && "
      "echo 'Kommentar vom zip' | zip -q -z ../plain.zip");
  ListOutcome out = List("plain.zip");
  ASSERT_EQ(out.error, 0);
  EXPECT_EQ(Files(out), kExpected);
  EXPECT_EQ(out.listing.comment, "Kommentar vom zip");

  // A stub put in front, then the offsets adjusted as for a self-extractor (zip -A).
  Write("stub.bin", std::string(1536, 'S'));
  Run("cd '" + dir_ +
      "' && cat stub.bin plain.zip > sfx.exe && cp sfx.exe sfx_adjusted.exe && "
      "zip -q -A sfx_adjusted.exe");
  out = List("sfx.exe");
  ASSERT_EQ(out.error, 0);
  EXPECT_EQ(out.listing.sfxOffset, 1536);
  EXPECT_TRUE(out.listing.structureWarning);
  out = List("sfx_adjusted.exe");
  ASSERT_EQ(out.error, 0);
  EXPECT_EQ(out.listing.sfxOffset, 1536);
  EXPECT_FALSE(out.listing.structureWarning);
  EXPECT_EQ(Files(out), kExpected);
}

TEST_F(ForeignArchives, SevenZip) {
  if (!HasTool("7z")) GTEST_SKIP() << "7z missing";
  Run("cd '" + dir_ + "/content' && 7z a -bd -tzip ../seven.zip hello.txt sub >/dev/null");
  const ListOutcome out = List("seven.zip");
  ASSERT_EQ(out.error, 0);
  EXPECT_TRUE(out.warnings.empty());
  EXPECT_EQ(Files(out), kExpected);
  EXPECT_EQ(out.listing.sfxOffset, 0);
}

TEST_F(ForeignArchives, Bsdtar) {
  if (!HasTool("bsdtar")) GTEST_SKIP() << "bsdtar missing";
  Run("cd '" + dir_ + "/content' && bsdtar -a -cf ../tar.zip hello.txt sub");
  const ListOutcome out = List("tar.zip");
  ASSERT_EQ(out.error, 0);
  EXPECT_TRUE(out.warnings.empty());
  EXPECT_EQ(Files(out), kExpected);
}

TEST_F(ForeignArchives, TextFileIsNoArchive) {
  Write("readme.txt", "Dies ist kein Archiv.\n");
  EXPECT_EQ(List("readme.txt").error, zipmsg::kNotAnArchive);
}
