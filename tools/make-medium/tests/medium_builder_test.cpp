// The builder as a whole: a bad input writes nothing, a good one writes a medium whose
// archive is the same on every run, whole or as a numbered set with its disk folders.
#include "medium_builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace medium;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class MediumBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() / ("make_medium_test_" + std::to_string(std::rand()) + "_" + info->name());
    fs::create_directories(root_);
    Write(root_ / "win/bin/setup.exe", "setup");
    Write(root_ / "win/bin/UnInstall.exe", "uninstall");
    Write(root_ / "win/medium-bin/UNZIPLIB.DLL", "unziplib");
    std::string noise;  // does not deflate: stored
    for (uint32_t x = 1; noise.size() < 5000;) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      noise += char(x);
    }
    Write(root_ / "payload/talv20.exe", noise);
    Write(root_ / "payload/hilfe/hilfe.txt", std::string(3000, 'h'));
    Write(root_ / "Setup.inf", "[GroupEntries]\r\nHilfe=hilfe\\hilfe.txt\r\n");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  BuildOptions Options(const std::string& out) const {
    BuildOptions o;
    o.payloads = {(root_ / "payload").string()};
    o.setupInf = (root_ / "Setup.inf").string();
    o.windowsBuild = (root_ / "win").string();
    o.output = (root_ / out).string();
    return o;
  }

  int Build(const BuildOptions& o) {
    log_.str("");
    return BuildMedium(o, log_);
  }

  fs::path root_;
  std::ostringstream log_;
};

}  // namespace

TEST_F(MediumBuilderTest, AnErrorWritesNothing) {
  Write(root_ / "Setup.inf", "[GroupEntries]\r\nHilfe=hilfe\\fehlt.txt\r\n");
  EXPECT_EQ(Build(Options("out")), 1);
  EXPECT_NE(log_.str().find("[GroupEntries] Hilfe: names \"hilfe\\fehlt.txt\""), std::string::npos) << log_.str();
  EXPECT_FALSE(fs::exists(root_ / "out"));

  // Nor into a folder that holds something already.
  Write(root_ / "Setup.inf", "[GroupEntries]\r\nHilfe=hilfe\\hilfe.txt\r\n");
  Write(root_ / "full/keep.txt", "keep");
  EXPECT_EQ(Build(Options("full")), 1);
  EXPECT_EQ(fs::directory_iterator(root_ / "full")->path().filename(), "keep.txt");
}

TEST_F(MediumBuilderTest, WritesTheSameMediumEveryTimeWholeOrInParts) {
  ASSERT_EQ(Build(Options("one")), 0) << log_.str();
  EXPECT_NE(log_.str().find("files: 2, bytes: 8000"), std::string::npos) << log_.str();
  for (const char* file : {"setup.exe", "UnInstall.exe", "UNZIPLIB.DLL", "Setup.inf", "Setup.zip"})
    EXPECT_TRUE(fs::exists(root_ / "one" / file)) << file;
  ASSERT_EQ(Build(Options("two")), 0);
  EXPECT_EQ(Read(root_ / "one/Setup.zip"), Read(root_ / "two/Setup.zip"));

  BuildOptions parts = Options("parts");
  parts.partSize = 2048;
  parts.diskFolders = (root_ / "disks").string();
  ASSERT_EQ(Build(parts), 0) << log_.str();
  EXPECT_TRUE(fs::exists(root_ / "parts/Se001.zip"));
  EXPECT_TRUE(fs::exists(root_ / "parts/Se002.zip"));
  EXPECT_FALSE(fs::exists(root_ / "parts/Se003.zip"));
  EXPECT_NE(log_.str().find("parts: 3"), std::string::npos) << log_.str();
  EXPECT_EQ(Read(root_ / "disks/disk1/Setup.zip"), Read(root_ / "parts/Se001.zip"));
  EXPECT_EQ(Read(root_ / "disks/disk3/Setup.zip"), Read(root_ / "parts/Setup.zip"));
  EXPECT_TRUE(fs::exists(root_ / "disks/disk3/setup.exe"));
  EXPECT_EQ(Read(root_ / "disks/labels.txt"),
            "disk1: volume label \"PKBACK# 001\"\ndisk2: volume label \"PKBACK# 002\"\n"
            "disk3: volume label \"PKBACK# 003\"\n");
}
