// Sets of numbered part files on a fixed drive: joined by ReadSpan, extracted by Extract.
#include <gtest/gtest.h>

#include <windows.h>

#include "ZipArchive.h"
#include "files.h"
#include "win_test_support.h"
#include "zip_messages.h"

using namespace ziptest;

namespace {

class SpanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 12; ++i) members_.push_back(Member("dir/file" + std::to_string(i) + ".dat", 700 + 50 * i));
    members_[4].dataDescriptor = true;
    const auto set = spantest::BuildEvenSpanSet(members_, 3);
    ASSERT_EQ(set.parts.size(), 3u);
    for (size_t i = 0; i < set.parts.size(); ++i) WriteBytes(Part(int(i)), set.parts[i]);
    ::CreateDirectoryA((dir_ / "temp").c_str(), nullptr);
    log_.Attach(zip_);
    zip_.HowToDelete = htdFinal;
    previousFolder_ = platform::CurrentFolder();
  }
  void TearDown() override { platform::SetCurrentFolder(previousFolder_); }

  std::string Part(int n) const { return dir_ / "setup00" + std::to_string(n + 1) + ".zip"; }
  std::vector<std::string> TempFiles() const { return platform::ListFiles(dir_ / "temp"); }

  TempFolder dir_;
  std::vector<spantest::Member> members_;
  TZipArchive zip_{nullptr};
  EventLog log_;
  std::string previousFolder_;
};

}  // namespace

TEST_F(SpanTest, ListingTheLastPartFindsTheSet) {
  zip_.SetZipFilename(Part(2));
  EXPECT_EQ(zip_.EndDiskNumber(), 2);
  EXPECT_TRUE(zip_.IsSpanned());
  ASSERT_EQ(zip_.Entries().size(), members_.size());
  EXPECT_EQ(zip_.Entries()[11].fileName, "dir\\file11.dat");
  EXPECT_TRUE(log_.messages.empty());
}

TEST_F(SpanTest, JoinsThreePartFilesIntoOneArchiveInAFolder) {
  std::string joined = dir_ / "temp\\";
  ASSERT_EQ(zip_.ReadSpan(Part(2), joined), 0);
  EXPECT_EQ(platform::ExtractFilePath(joined), dir_ / "temp\\");
  EXPECT_TRUE(platform::SameText(platform::ExtractFileExt(joined), ".zip"));
  EXPECT_EQ(ReadBytes(joined), spantest::BuildSingleArchive(members_));
  EXPECT_EQ(TempFiles().size(), 1u);  // the unique name's own file was removed

  EXPECT_EQ(log_.OfType(ptTotalFiles).at(0).size, 12);
  const auto started = log_.OfType(ptFileStart);
  ASSERT_EQ(started.size(), 12u);
  EXPECT_EQ(started[0].name, "dir\\file0.dat");
  EXPECT_EQ(started[0].size, 30 + 13 + 700);
  EXPECT_EQ(started[4].size, 30 + 13 + 900 + 16);  // with its data descriptor
  EXPECT_EQ(log_.OfType(ptBatchEnd).size(), 1u);
  ASSERT_EQ(log_.messages.size(), 12u);
  EXPECT_EQ(log_.messages[0], std::make_pair(0, std::string("Kopiere von:dir\\file0.dat")));
  EXPECT_FALSE(zip_.Busy());

  // The joined archive carries the date of the last part.
  FILETIME lastPart{}, result{};
  {
    platform::UniqueFile a(
        ::CreateFileA(Part(2).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    platform::UniqueFile b(
        ::CreateFileA(joined.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(a && b);
    ::GetFileTime(a.get(), nullptr, nullptr, &lastPart);
    ::GetFileTime(b.get(), nullptr, nullptr, &result);
  }
  EXPECT_EQ(::CompareFileTime(&lastPart, &result), 0);
}

TEST_F(SpanTest, GivenFileNameReplacesAnExistingFileAndGetsTheZipExtension) {
  WriteBytes(dir_ / "temp\\joined.dat", Bytes(10, 'o'));
  std::string joined = dir_ / "temp\\joined.dat";
  ASSERT_EQ(zip_.ReadSpan(Part(2), joined), 0);
  EXPECT_EQ(joined, dir_ / "temp\\joined.zip");
  EXPECT_FALSE(platform::FileExists(dir_ / "temp\\joined.dat"));
  EXPECT_EQ(ReadBytes(joined), spantest::BuildSingleArchive(members_));
}

TEST_F(SpanTest, FirstPartListedIsReported11037AndLeavesNothing) {
  std::string joined = dir_ / "temp\\";
  EXPECT_EQ(zip_.ReadSpan(Part(0), joined), -7);
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kFirstDiskOfSet);
  EXPECT_EQ(joined, "");
  EXPECT_TRUE(TempFiles().empty());
  EXPECT_EQ(log_.OfType(ptBatchEnd).size(), 1u);
}

TEST_F(SpanTest, MissingPartIsReported11001) {
  ::DeleteFileA(Part(1).c_str());
  std::string joined = dir_ / "temp\\";
  EXPECT_EQ(zip_.ReadSpan(Part(2), joined), -7);
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kFileNotFound);
  EXPECT_EQ(zip_.Message(), "Zu lesende Datei nicht gefunden");
  EXPECT_EQ(joined, "");
  EXPECT_TRUE(TempFiles().empty());
}

TEST_F(SpanTest, LastPartListedUnderANameWithoutNumberIsReadThroughThatName) {
  // "setup.zip" after "se001.zip" and "se002.zip", as setup lists its archive.
  const std::string listed = dir_ / "setup.zip";
  ASSERT_TRUE(::MoveFileA(Part(2).c_str(), listed.c_str()));
  ASSERT_TRUE(::MoveFileA(Part(0).c_str(), (dir_ / "se001.zip").c_str()));
  ASSERT_TRUE(::MoveFileA(Part(1).c_str(), (dir_ / "se002.zip").c_str()));
  std::string joined = dir_ / "temp\\";
  ASSERT_EQ(zip_.ReadSpan(listed, joined), 0) << zip_.Message();
  EXPECT_EQ(ReadBytes(joined), spantest::BuildSingleArchive(members_));
}

TEST_F(SpanTest, FailingProgressHandlerEndsTheJoinWith11024) {
  zip_.OnProgress = [](forms::Component*, ProgressType type, const std::string&, int) {
    if (type == ptFileStart) throw std::runtime_error("kaputt");
  };
  std::string joined = dir_ / "temp\\";
  EXPECT_EQ(zip_.ReadSpan(Part(2), joined), -9);
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kUnknownJoinError);
  EXPECT_TRUE(TempFiles().empty());
}

TEST_F(SpanTest, ExtractJoinsIntoAHeldPrivateFolderInTempDirExtractsAndRemovesIt) {
  if (!platform::FileExists(LibraryFolder("real") + "\\UNZIPLIB.DLL")) GTEST_SKIP() << "UNZIPLIB.DLL not built";
  zip_.SetDLLDirectory(LibraryFolder("real"));
  zip_.TempDir = dir_ / "temp";
  zip_.ExtrBaseDir = dir_ / "out";
  zip_.ExtrOptions = {ExtrDirNames, ExtrOverWrite};
  ASSERT_TRUE(platform::ForceDirectories(zip_.ExtrBaseDir));
  zip_.SetZipFilename(Part(2));
  zip_.SetFSpecArgs({"*.*"});
  // While the library extracts, the copy lies in one new folder of TempDir with a random name,
  // which cannot be renamed (and so not be swapped for another).
  std::vector<std::string> folders;
  bool renamed = false;
  zip_.OnProgress = [&](forms::Component*, ProgressType type, const std::string&, int) {
    if (type != ptFileStart || !folders.empty()) return;
    folders = platform::ListFolders(dir_ / "temp");
    const std::string folder = dir_ / "temp\\" + (folders.empty() ? "" : folders[0]);
    renamed = ::MoveFileA(folder.c_str(), (dir_ / "renamed").c_str());
  };
  zip_.Extract();
  EXPECT_EQ(zip_.SuccessCount(), 12);
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0].size(), 4u + 32u);
  EXPECT_EQ(folders[0].rfind("zip-", 0), 0u) << folders[0];
  EXPECT_FALSE(renamed);
  for (const auto& m : members_) {
    std::string path = dir_ / "out\\" + m.name;
    path[path.find('/')] = '\\';
    EXPECT_EQ(ReadBytes(path), m.data) << path;
  }
  EXPECT_TRUE(TempFiles().empty());
  EXPECT_TRUE(platform::ListFolders(dir_ / "temp").empty());
  EXPECT_FALSE(zip_.Busy());
}

// Joins as usual, then renames another file over the joined one (a copy of it: only the
// file's identity tells them apart).
class ReplacingZipArchive : public TZipArchive {
 public:
  ReplacingZipArchive() : TZipArchive(nullptr) {}
  int ReadSpan(const std::string& archiveName, std::string& joinedPath) override {
    const int result = TZipArchive::ReadSpan(archiveName, joinedPath);
    const std::string other = joinedPath + ".other";
    WriteBytes(other, ReadBytes(joinedPath));
    ::MoveFileExA(other.c_str(), joinedPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    return result;
  }
};

TEST_F(SpanTest, JoinedFileReplacedBeforeTheLibraryReadsItIsRefused) {
  ReplacingZipArchive zip;
  zip.SetDLLDirectory(LibraryFolder("v152"));
  ::SetEnvironmentVariableA("TESTUNZIP_DUMP", (dir_ / "library.txt").c_str());
  zip.TempDir = dir_ / "temp";
  zip.SetZipFilename(Part(2));
  zip.SetFSpecArgs({"*.*"});
  zip.Extract();
  ::SetEnvironmentVariableA("TESTUNZIP_DUMP", nullptr);
  EXPECT_EQ(zip.ErrCode(), zipmsg::kJoinedFileReplaced);
  EXPECT_EQ(zip.Message(), "Das zusammengefügte Archiv wurde nach dem Zusammenfügen ersetzt");
  EXPECT_FALSE(platform::FileExists(dir_ / "library.txt"));
  EXPECT_TRUE(platform::ListFolders(dir_ / "temp").empty());
}

TEST_F(SpanTest, NoJoinedPathIsAnErrorNotAFileInTheCurrentFolder) {
  ASSERT_TRUE(platform::SetCurrentFolder(dir_ / "temp"));
  std::string joined;
  EXPECT_EQ(zip_.ReadSpan(Part(2), joined), -7);
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kTempFileName);
  EXPECT_TRUE(TempFiles().empty());
}

TEST_F(SpanTest, FailedJoinExtractsNothing) {
  zip_.SetDLLDirectory(LibraryFolder("v152"));
  ::SetEnvironmentVariableA("TESTUNZIP_DUMP", (dir_ / "library.txt").c_str());
  zip_.TempDir = dir_ / "temp";
  zip_.SetZipFilename(Part(2));
  ::DeleteFileA(Part(0).c_str());
  zip_.SetFSpecArgs({"*.*"});
  zip_.Extract();
  ::SetEnvironmentVariableA("TESTUNZIP_DUMP", nullptr);
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kFileNotFound);
  EXPECT_FALSE(platform::FileExists(dir_ / "library.txt"));
  EXPECT_TRUE(TempFiles().empty());
  EXPECT_TRUE(platform::ListFolders(dir_ / "temp").empty());
  EXPECT_TRUE(zip_.FSpecArgs().empty());
  EXPECT_FALSE(zip_.Busy());
}
