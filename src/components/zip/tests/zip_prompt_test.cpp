// Disks of a set in a removable drive: the prompts, a wrong disk, Cancel, unattended runs.
// The drive is played: the component's drive queries answer with the label of the disk the
// test has "inserted", whose part lies in the archive's place in a temporary folder.
#include <gtest/gtest.h>

#include <mutex>

#include "ZipArchive.h"
#include "files.h"
#include "win_test_support.h"
#include "zip_messages.h"

using namespace ziptest;

namespace {

class PlayedDrive : public TZipArchive {
 public:
  using TZipArchive::TZipArchive;

  // Puts the disk with `label` into the drive; its archive file holds `content` (none when
  // `content` is null).
  void Insert(const std::string& label, const Bytes* content, const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    label_ = label;
    ready_ = true;
    ::DeleteFileA(path.c_str());
    if (content) WriteBytes(path, *content);
  }
  void Eject() {
    std::lock_guard<std::mutex> lock(mutex_);
    ready_ = false;
  }

 protected:
  ziparchive::DriveState CheckDrive(const std::string& root) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ready_) throw EZipArchive(zipmsg::kDriveNotReady, root);
    ziparchive::DriveState state;
    state.label = label_;
    return state;
  }
  bool HasNumberedParts(const std::string&) override { return false; }

 private:
  std::mutex mutex_;
  std::string label_;
  bool ready_ = true;
};

std::string Label(int number) { return "PKBACK# 00" + std::to_string(number); }

class PromptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 9; ++i) members_.push_back(Member("f" + std::to_string(i) + ".txt", 900));
    parts_ = spantest::BuildEvenSpanSet(members_, 3).parts;
    ASSERT_EQ(parts_.size(), 3u);
    ::CreateDirectoryA((dir_ / "temp").c_str(), nullptr);
    zip_.Unattended = false;
    zip_.HowToDelete = htdFinal;
    log_.Attach(zip_);
    root_ = dir_.Path().substr(0, 3);
  }

  void InsertDisk(int n) { zip_.Insert(Label(n + 1), &parts_[size_t(n)], Archive()); }
  std::string Archive() const { return dir_ / "setup.zip"; }
  // The disk a prompt asks for: "Diskette n von 3", or the last disk.
  int Wanted(const std::string& text) const {
    const size_t at = text.find("Diskette ");
    return at == std::string::npos || text.find("letzte") != std::string::npos ? 2 : text[at + 9] - '1';
  }
  std::string PromptFor(int n) const {
    return "Bitte legen Sie Diskette " + std::to_string(n + 1) + " von 3 ein\nin Laufwerk: " + root_;
  }

  TempFolder dir_;
  std::vector<spantest::Member> members_;
  spantest::Parts parts_;
  PlayedDrive zip_{nullptr};
  EventLog log_;
  std::string root_;
};

}  // namespace

TEST_F(PromptTest, EveryDiskIsAskedForAndAWrongDiskIsAskedForAgain) {
  InsertDisk(2);
  bool wrongGiven = false;
  BoxAnswerer answerer(
      [&](const std::string& text) {
        const int wanted = Wanted(text);
        if (wanted == 0 && !wrongGiven) {
          wrongGiven = true;
          InsertDisk(1);  // not the disk asked for
        } else {
          InsertDisk(wanted);
        }
        return IDOK;
      },
      8);
  std::string joined = dir_ / "temp\\";
  const int result = zip_.ReadSpan(Archive(), joined);
  const std::vector<std::string> texts = answerer.Texts();
  ASSERT_EQ(result, 0) << zip_.Message();
  EXPECT_EQ(ReadBytes(joined), spantest::BuildSingleArchive(members_));
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[0], PromptFor(0));
  EXPECT_EQ(texts[1], PromptFor(0));  // the wrong disk was refused
  EXPECT_EQ(texts[2], PromptFor(1));
  EXPECT_EQ(texts.back(), PromptFor(2));
}

TEST_F(PromptTest, LastDiskIsAskedForWhenTheDiskInTheDriveIsAnother) {
  InsertDisk(0);
  BoxAnswerer answerer(
      [&](const std::string& text) {
        InsertDisk(Wanted(text));
        return IDOK;
      },
      8);
  std::string joined = dir_ / "temp\\";
  ASSERT_EQ(zip_.ReadSpan(Archive(), joined), 0) << zip_.Message();
  const std::vector<std::string> texts = answerer.Texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0], "Bitte legen Sie die letzte Diskette ein\nin Laufwerk: " + root_);
  EXPECT_EQ(ReadBytes(joined), spantest::BuildSingleArchive(members_));
}

TEST_F(PromptTest, DriveNotReadyAsksForTheLastDiskAtOnce) {
  InsertDisk(2);
  zip_.Eject();
  BoxAnswerer answerer(
      [&](const std::string& text) {
        InsertDisk(Wanted(text));
        return IDOK;
      },
      8);
  std::string joined = dir_ / "temp\\";
  ASSERT_EQ(zip_.ReadSpan(Archive(), joined), 0) << zip_.Message();
  EXPECT_EQ(answerer.Texts().at(0), "Bitte legen Sie die letzte Diskette ein\nin Laufwerk: " + root_);
}

TEST_F(PromptTest, DiskWithoutTheFileReports11001AndAsksAgain) {
  InsertDisk(2);
  bool emptyGiven = false;
  BoxAnswerer answerer(
      [&](const std::string& text) {
        if (text.find("Diskette 1 von 3") != std::string::npos && !emptyGiven) {
          emptyGiven = true;
          zip_.Insert(Label(1), nullptr, Archive());  // the right label, but no archive on it
        } else if (text.find("Bitte legen") != std::string::npos) {
          InsertDisk(Wanted(text));
        }
        return IDOK;
      },
      10);
  std::string joined = dir_ / "temp\\";
  ASSERT_EQ(zip_.ReadSpan(Archive(), joined), 0) << zip_.Message();
  const std::vector<std::string> texts = answerer.Texts();
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[0], PromptFor(0));
  EXPECT_EQ(texts[1], "Zu lesende Datei nicht gefunden");
  EXPECT_EQ(texts[2], PromptFor(0));
}

TEST_F(PromptTest, CancelInAPromptEndsTheJoinWithoutABoxOfItsOwn) {
  InsertDisk(2);
  BoxAnswerer answerer([](const std::string&) { return IDCANCEL; }, 3);
  std::string joined = dir_ / "temp\\";
  EXPECT_EQ(zip_.ReadSpan(Archive(), joined), -7);
  EXPECT_EQ(answerer.Texts(), std::vector<std::string>{PromptFor(0)});
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kUserCancel);
  EXPECT_EQ(zip_.Message(), "Abbruch der Operation durch den Benutzer");
  ASSERT_FALSE(log_.messages.empty());
  EXPECT_EQ(log_.messages.back().second, zip_.Message());
  EXPECT_EQ(joined, "");
  EXPECT_TRUE(platform::ListFiles(dir_ / "temp").empty());
}

TEST_F(PromptTest, UnattendedRunReports11025InsteadOfPrompting) {
  InsertDisk(2);
  zip_.Unattended = true;
  BoxAnswerer answerer([](const std::string&) { return IDCANCEL; }, 1);
  std::string joined = dir_ / "temp\\";
  EXPECT_EQ(zip_.ReadSpan(Archive(), joined), -7);
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kUnattendedPrompt);
  EXPECT_TRUE(answerer.Texts().empty());
}

TEST_F(PromptTest, ListNamesTheDiskOfTheLabel) {
  zip_.Unattended = true;
  zip_.Insert(Label(4), nullptr, Archive());
  WriteBytes(Archive(), Bytes(500, 'x'));
  zip_.SetZipFilename(Archive());
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kDiskHasNoEndRecord);
  EXPECT_EQ(zip_.Message(), "Teil 4 enth\xE4lt nicht das Ende des Archivs");

  InsertDisk(0);  // the first disk of a set: it starts with the spanning marker
  zip_.SetZipFilename(Archive());
  EXPECT_EQ(zip_.ErrCode(), zipmsg::kFirstDiskOfSet);
  EXPECT_TRUE(zip_.IsSpanned());
}
