// Extract through the stand-in libraries: the block each layout receives, the callback's
// events, cancelling, and libraries that are missing or lack an entry point.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "ZipArchive.h"
#include "files.h"
#include "unzip_abi.h"
#include "unzip_library.h"
#include "win_test_support.h"
#include "zip_messages.h"

using namespace ziptest;
namespace b = unzipabi::block;

namespace {

class ExtractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(dir_ / "Setup.zip", spantest::BuildSingleArchive({Member("sub/a.txt", 100), Member("b.txt", 200)}));
    ::SetEnvironmentVariableA("TESTUNZIP_DUMP", (dir_ / "library.txt").c_str());
    ::CreateDirectoryA((dir_ / "target").c_str(), nullptr);
    log_.Attach(zip_);
    zip_.ExtrBaseDir = dir_ / "target";
    zip_.ExtrOptions = {ExtrDirNames, ExtrOverWrite};
    zip_.SetZipFilename(dir_ / "Setup.zip");
    ASSERT_EQ(zip_.Entries().size(), 2u);
    previousFolder_ = platform::CurrentFolder();
  }
  void TearDown() override {
    platform::SetCurrentFolder(previousFolder_);
    ::SetEnvironmentVariableA("TESTUNZIP_DUMP", nullptr);
  }

  void Use(const std::string& variant) { zip_.SetDLLDirectory(LibraryFolder(variant)); }
  LibraryRecord Record() { return ReadLibraryRecord(dir_ / "library.txt"); }
  void ForgetRecord() { ::DeleteFileA((dir_ / "library.txt").c_str()); }

  TempFolder dir_;
  TZipArchive zip_{nullptr};
  EventLog log_;
  std::string previousFolder_;
};

}  // namespace

TEST_F(ExtractTest, NewerLayoutBlockAndEveryCallbackAction) {
  Use("v152");
  zip_.SetFSpecArgs({"*.*"});
  zip_.Extract();

  const LibraryRecord r = Record();
  ASSERT_TRUE(r.present);
  ASSERT_EQ(r.block.size(), 148u);
  EXPECT_EQ(r.Field(b::kOwnerWindow), 0);  // unattended: no window for the library's boxes
  EXPECT_NE(r.Field(b::kCaller), 0);
  EXPECT_EQ(r.Field(b::kCallerVersion), 152);
  EXPECT_NE(r.Field(b::kCallback), 0);
  EXPECT_EQ(r.Field(b::kTrace), 0);
  EXPECT_EQ(r.Field(20), 0);
  EXPECT_EQ(r.Field(b::kTest), 0);
  EXPECT_EQ(r.Field(32), 0);
  EXPECT_EQ(r.Field(36), 0);
  EXPECT_EQ(r.Field(b::kAlwaysYes), -1);
  EXPECT_EQ(r.Field(b::kVerbose), 0);
  EXPECT_EQ(r.Field(b::kUpdate), 0);
  EXPECT_EQ(r.Field(b::kFreshen), 0);
  EXPECT_EQ(r.Field(b::kDirNames), -1);
  EXPECT_EQ(r.Field(b::kOverwrite), -1);
  EXPECT_EQ(r.Field(b::kSpecCount), 1);
  EXPECT_EQ(r.Field(144), 7);
  for (size_t at = 76; at < 144; at += 4) EXPECT_EQ(r.Field(at), 0) << at;
  EXPECT_EQ(r.archive, dir_ / "Setup.zip");
  EXPECT_EQ(r.password, "");
  EXPECT_EQ(r.specs, std::vector<std::string>{"*.*"});
  EXPECT_TRUE(platform::SameText(platform::IncludeTrailingBackslash(r.currentFolder), dir_ / "target\\"));
  EXPECT_EQ(r.answers, "0,0,0,0,0,0,0,0,0,");

  // Actions 6, 5, 1, 2, 4 (no progress), 1, 2, 3; the unknown action does nothing.
  ASSERT_EQ(log_.progress.size(), 7u);
  EXPECT_EQ(log_.progress[0].type, ptTotalSize);
  EXPECT_EQ(log_.progress[0].size, 300);
  EXPECT_EQ(log_.progress[1].type, ptTotalFiles);
  EXPECT_EQ(log_.progress[1].size, 2);
  EXPECT_EQ(log_.progress[2].type, ptFileStart);
  EXPECT_EQ(log_.progress[2].name, "sub\\a.txt");
  EXPECT_EQ(log_.progress[2].size, 100);
  EXPECT_EQ(log_.progress[3].type, ptFileProgress);
  EXPECT_EQ(log_.progress[3].name, "");
  EXPECT_EQ(log_.progress[3].size, 100);
  EXPECT_EQ(log_.progress[4].name, "b.txt");
  EXPECT_EQ(log_.progress[6].type, ptBatchEnd);
  EXPECT_EQ(log_.progress[6].size, 0);
  EXPECT_EQ(zip_.TotalSize(), 300);

  ASSERT_EQ(log_.messages.size(), 1u);
  EXPECT_EQ(log_.messages[0], std::make_pair(0x1234, std::string("Warnung in sub\\a.txt")));
  EXPECT_EQ(zip_.Message(), "Warnung in sub\\a.txt");
  EXPECT_EQ(zip_.ErrCode(), 0x34);
  EXPECT_EQ(zip_.LibraryErrCode(), 0x1234);

  EXPECT_EQ(zip_.SuccessCount(), 2);
  EXPECT_TRUE(zip_.FSpecArgs().empty());
  EXPECT_FALSE(zip_.Busy());
  EXPECT_FALSE(ziparchive::UnzipLibrary::Instance().Loaded());
}

TEST_F(ExtractTest, OlderLayoutForVersion151) {
  Use("v151");
  zip_.SetFSpecArgs({"*.txt", "sub\\*.*"});
  zip_.Verbose = true;
  zip_.ExtrOptions = {ExtrTest};
  zip_.Extract();
  const LibraryRecord r = Record();
  ASSERT_TRUE(r.present);
  ASSERT_EQ(r.block.size(), 16464u);
  EXPECT_EQ(r.Field(b::kCallerVersion), 152);
  EXPECT_EQ(r.Field(b::kTest), -1);
  EXPECT_EQ(r.Field(b::kVerbose), -1);
  EXPECT_EQ(r.Field(b::kDirNames), 0);
  EXPECT_EQ(r.Field(b::kSpecCount), 2);
  EXPECT_EQ(r.Field(72), 7);
  EXPECT_NE(r.Field(76), 0);
  EXPECT_NE(r.Field(80), 0);
  EXPECT_EQ(r.Field(84), 0);
  EXPECT_EQ(r.specs, (std::vector<std::string>{"*.txt", "sub\\*.*"}));
  EXPECT_EQ(zip_.SuccessCount(), 2);
  EXPECT_EQ(zip_.LibraryVersion(), 151);
  EXPECT_FALSE(ziparchive::UnzipLibrary::Instance().Loaded());
}

TEST_F(ExtractTest, FreshenWithUpdatePassesOnlyUpdate) {
  Use("v152");
  zip_.ExtrOptions = {ExtrFreshen, ExtrUpdate};
  zip_.SetFSpecArgs({"*.*"});
  zip_.Extract();
  LibraryRecord r = Record();
  EXPECT_EQ(r.Field(b::kUpdate), -1);
  EXPECT_EQ(r.Field(b::kFreshen), 0);

  zip_.ExtrOptions = {ExtrFreshen};
  zip_.SetFSpecArgs({"*.*"});
  zip_.Extract();
  r = Record();
  EXPECT_EQ(r.Field(b::kUpdate), 0);
  EXPECT_EQ(r.Field(b::kFreshen), -1);
}

TEST_F(ExtractTest, SecondExtractWithoutNewSpecificationsPassesNone) {
  Use("v152");
  zip_.SetFSpecArgs({"*.*"});
  zip_.Extract();
  EXPECT_EQ(Record().Field(b::kSpecCount), 1);
  EXPECT_TRUE(zip_.FSpecArgs().empty());
  zip_.Extract();
  const LibraryRecord r = Record();
  EXPECT_EQ(r.Field(b::kSpecCount), 0);
  EXPECT_EQ(r.Field(b::kNewSpecRecords), 0);
  EXPECT_TRUE(r.specs.empty());
}

TEST_F(ExtractTest, TraceReportsTheLoadAndSwitchesVerboseOn) {
  Use("v152");
  zip_.Trace = true;
  zip_.Extract();
  ASSERT_FALSE(log_.messages.empty());
  EXPECT_EQ(log_.messages[0], std::make_pair(0, std::string("UNZIPLIB geladen")));
  const LibraryRecord r = Record();
  EXPECT_EQ(r.Field(b::kTrace), -1);
  EXPECT_EQ(r.Field(b::kVerbose), -1);
}

TEST_F(ExtractTest, UnattendedEncryptionWithoutPasswordGetsThePlaceholder) {
  Use("v152");
  zip_.AddOptions = {AddEncrypt};
  zip_.Extract();
  ASSERT_FALSE(log_.messages.empty());
  EXPECT_EQ(log_.messages[0].second.substr(0, 7), "Warnung");
  EXPECT_EQ(zip_.Password().size(), 79u);
  EXPECT_EQ(Record().password, zip_.Password());

  // A password of the user's own is passed unchanged, cut to the buffer's 80 characters.
  zip_.SetPassword(std::string(100, 'k'));
  zip_.Extract();
  EXPECT_EQ(Record().password, std::string(80, 'k'));
}

TEST_F(ExtractTest, CallbackStopsTheLibraryWhenCancelIsSetAndExtractClearsIt) {
  Use("v152");
  zip_.OnProgress = [this](forms::Component* sender, ProgressType type, const std::string&, int) {
    EXPECT_EQ(sender, &zip_);
    if (type == ptFileStart) zip_.Cancel = true;
  };
  zip_.Cancel = true;  // a cancel left over from before does not stop the next run
  zip_.Extract();
  const LibraryRecord r = Record();
  EXPECT_EQ(r.answers, "0,0,-1,");
  EXPECT_EQ(zip_.SuccessCount(), 1);
  EXPECT_FALSE(zip_.Cancel);
  EXPECT_FALSE(zip_.Busy());
}

TEST_F(ExtractTest, FailingEventHandlerStopsTheLibraryAndReports10501) {
  Use("v152");
  zip_.OnProgress = [](forms::Component*, ProgressType type, const std::string&, int) {
    if (type == ptFileStart) throw std::runtime_error("Liste voll");
  };
  zip_.Extract();
  EXPECT_EQ(Record().answers, "0,0,-1,");
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kLibraryFailure);
  EXPECT_EQ(zip_.Message(), "Fataler Fehler in UNZIPLIB.DLL: Abbruch\nListe voll");
  EXPECT_FALSE(zip_.Busy());
}

TEST_F(ExtractTest, MissingLibraryReports10704AndIsNotSearchedForByName) {
  // A library that the system's search by name would find, on the PATH.
  char path[32768] = "";
  ::GetEnvironmentVariableA("PATH", path, sizeof path);
  ::SetEnvironmentVariableA("PATH", (LibraryFolder("v152") + ";" + path).c_str());
  zip_.SetDLLDirectory(dir_ / "target");  // a folder without the library
  zip_.SetFSpecArgs({"*.*"});
  zip_.Extract();
  ::SetEnvironmentVariableA("PATH", path);
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kLibraryNotFound);
  EXPECT_EQ(zip_.Message(), "UNZIPLIB.DLL nicht gefunden !");
  EXPECT_FALSE(Record().present);
  EXPECT_EQ(zip_.SuccessCount(), 0);
  EXPECT_TRUE(zip_.FSpecArgs().empty());
  EXPECT_FALSE(zip_.Busy());
  EXPECT_EQ(zip_.LibraryVersion(), 0);
}

TEST_F(ExtractTest, LibraryWithoutAnEntryPointIsNotUsed) {
  Use("noexec");
  zip_.Extract();
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kNoUnzipExec);
  EXPECT_FALSE(Record().present);
  EXPECT_FALSE(ziparchive::UnzipLibrary::Instance().Loaded());

  log_.messages.clear();
  Use("noversion");
  zip_.Extract();
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kNoUnzipVersion);
  ASSERT_EQ(log_.messages.size(), 1u);
  EXPECT_EQ(log_.messages[0].second, "Einsprungpunkt GetUnzipVersion in UNZIPLIB.DLL nicht gefunden");
  EXPECT_FALSE(Record().present);
  EXPECT_EQ(zip_.LibraryVersion(), 0);
}

TEST_F(ExtractTest, LibraryLoadedBeforeStaysLoaded) {
  Use("v152");
  auto& library = ziparchive::UnzipLibrary::Instance();
  ASSERT_TRUE(library.Load(LibraryFolder("v152"), false, [](int) {}));
  zip_.Extract();
  EXPECT_TRUE(Record().present);
  EXPECT_TRUE(library.Loaded());
  EXPECT_EQ(zip_.LibraryVersion(), 152);
  EXPECT_TRUE(library.Loaded());
  library.Release();
}

TEST_F(ExtractTest, BusyComponentDoesNothingAndAMissingArchiveReports10102) {
  Use("v152");
  zip_.OnProgress = [this](forms::Component*, ProgressType type, const std::string&, int) {
    if (type != ptTotalSize) return;
    EXPECT_TRUE(zip_.Busy());
    zip_.SetFSpecArgs({"inner"});
    zip_.Extract();  // ignored while busy
    EXPECT_EQ(zip_.FSpecArgs(), std::vector<std::string>{"inner"});
  };
  zip_.SetFSpecArgs({"*.*"});
  zip_.Extract();
  EXPECT_EQ(Record().specs, std::vector<std::string>{"*.*"});
  EXPECT_EQ(zip_.SuccessCount(), 2);

  zip_.OnProgress = nullptr;
  ForgetRecord();
  ::DeleteFileA((dir_ / "Setup.zip").c_str());
  zip_.Extract();
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kNoArchiveFile);
  EXPECT_FALSE(Record().present);
}
