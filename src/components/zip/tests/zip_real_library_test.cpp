// Extraction through the real UNZIPLIB.DLL of the medium, checked on disk.
#include <gtest/gtest.h>

#include <windows.h>

#include "ZipArchive.h"
#include "files.h"
#include "win_test_support.h"

using namespace ziptest;

namespace {

class RealLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::FileExists(LibraryFolder("real") + "\\UNZIPLIB.DLL")) GTEST_SKIP() << "UNZIPLIB.DLL not built";
    previousFolder_ = platform::CurrentFolder();
    log_.Attach(zip_);
    zip_.SetDLLDirectory(LibraryFolder("real"));
    zip_.ExtrOptions = {ExtrDirNames, ExtrOverWrite};
  }
  void TearDown() override {
    if (!previousFolder_.empty()) platform::SetCurrentFolder(previousFolder_);
  }

  TempFolder dir_;
  TZipArchive zip_{nullptr};
  EventLog log_;
  std::string previousFolder_;
};

}  // namespace

TEST_F(RealLibraryTest, ExtractsEveryFileWithProgressAndTotalSize) {
  const std::vector<spantest::Member> members{Member("readme.txt", 1000), Member("bin/tool.exe", 70000),
                                              Member("bin/data/logo.bmp", 0), Member("Klingeltoene/a.mid", 333)};
  WriteBytes(dir_ / "Setup.zip", spantest::BuildSingleArchive(members));
  zip_.ExtrBaseDir = dir_ / "Talvenor";
  ASSERT_TRUE(platform::ForceDirectories(zip_.ExtrBaseDir));
  zip_.SetZipFilename(dir_ / "Setup.zip");
  zip_.SetFSpecArgs({"*.*"});
  zip_.Extract();

  EXPECT_EQ(zip_.SuccessCount(), 4);
  EXPECT_EQ(zip_.TotalSize(), 1000 + 70000 + 0 + 333);
  const auto started = log_.OfType(ptFileStart);
  ASSERT_EQ(started.size(), 4u);
  EXPECT_EQ(started[0].name, "readme.txt");
  EXPECT_EQ(started[0].size, 1000);
  EXPECT_EQ(started[1].name, "bin\\tool.exe");
  EXPECT_EQ(started[1].size, 70000);
  EXPECT_EQ(started[2].name, "bin\\data\\logo.bmp");
  EXPECT_EQ(started[3].name, "Klingeltoene\\a.mid");
  // The total size comes before the first file.
  ASSERT_FALSE(log_.progress.empty());
  EXPECT_EQ(log_.progress.front().type, ptTotalSize);
  for (const auto& m : members) {
    std::string path = dir_ / "Talvenor\\" + m.name;
    for (char& c : path)
      if (c == '/') c = '\\';
    EXPECT_EQ(ReadBytes(path), m.data) << path;
  }
  EXPECT_FALSE(zip_.Busy());
}

TEST_F(RealLibraryTest, CancelAfterTheFirstFileStopsTheLibrary) {
  WriteBytes(dir_ / "Setup.zip",
             spantest::BuildSingleArchive({Member("one.txt", 10), Member("two.txt", 20), Member("three.txt", 30)}));
  zip_.ExtrBaseDir = dir_.Path();
  zip_.SetZipFilename(dir_ / "Setup.zip");
  zip_.SetFSpecArgs({"*.*"});
  zip_.OnProgress = [this](forms::Component*, ProgressType type, const std::string&, int) {
    if (type == ptFileStart) zip_.Cancel = true;
  };
  zip_.Extract();
  EXPECT_LE(zip_.SuccessCount(), 1);
  EXPECT_FALSE(platform::FileExists(dir_ / "three.txt"));
  EXPECT_FALSE(zip_.Cancel);
}
