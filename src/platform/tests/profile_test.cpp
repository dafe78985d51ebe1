#include "error.h"
#include "files.h"
#include "profile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using platform::ProfileFile;

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = platform::TempFolder() + "talvenor_profile_test\\";
    platform::ForceDirectories(folder_);
    path_ = folder_ + "Setup.inf";
  }
  void TearDown() override {
    ::DeleteFileA(path_.c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }
  void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string folder_, path_;
};

TEST_F(ProfileTest, SectionAndKeyNamesMatchWithoutRegardToCase) {
  Write("[UnInstall]\r\nUnInstallEntry=Talv\r\nDisPlayName=Talvenor Suite\r\n");
  ProfileFile inf(path_);
  EXPECT_EQ(inf.ReadString("Uninstall", "UnInstallEntry", "Talvenor"), "Talv");
  EXPECT_EQ(inf.ReadString("UNINSTALL", "displayname", "x"), "Talvenor Suite");
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
  ProfileFile missing(folder_ + "nothere.inf");
  EXPECT_EQ(missing.ReadString("Program", "ProgramEntry", "Talvenor"), "Talvenor");
  EXPECT_TRUE(missing.ReadSectionKeys("GroupEntries").empty());
  Write("[Program]\r\nProgramname=Talvenor\r\n");
  ProfileFile inf(path_);
  EXPECT_EQ(inf.ReadString("Program", "ProgramEntry", "Talvenor"), "Talvenor");
  EXPECT_EQ(inf.ReadString("Group", "Groupname", ""), "");
}

TEST_F(ProfileTest, ValueLongerThan2047CharactersArrivesCut) {
  const std::string longValue(3000, 'a');
  Write("[Setup]\r\nBackground=" + longValue + "\r\n");
  EXPECT_EQ(ProfileFile(path_).ReadString("Setup", "Background", ""), std::string(2047, 'a'));
}

TEST_F(ProfileTest, KeyNamesOfASectionInFileOrder) {
  Write("[GroupEntries]\r\nTalvenor=talv20.exe\r\nLiesmich=liesmich.txt\r\nHilfe=hilfe.txt\r\n");
  const auto keys = ProfileFile(path_).ReadSectionKeys("groupentries");
  EXPECT_EQ(keys, (std::vector<std::string>{"Talvenor", "Liesmich", "Hilfe"}));
}

TEST_F(ProfileTest, WriteCreatesSectionAndKeyAndReadsBack) {
  Write("[Program]\r\nProgramname=Talvenor\r\n");
  ProfileFile inf(path_);
  inf.WriteString("InstalledFiles", "Count", "2");
  inf.WriteString("InstalledFiles", "0", "C:\\Talvenor\\a.txt");
  EXPECT_EQ(inf.ReadString("InstalledFiles", "Count", ""), "2");
  EXPECT_EQ(inf.ReadSectionKeys("InstalledFiles"), (std::vector<std::string>{"Count", "0"}));

  // A whole section in one write replaces the old one where it stands.
  Write("[Program]\r\nProgramname=Talvenor\r\n[InstalledFiles]\r\nCount=9\r\n8=alt\r\n[Group]\r\nGroupname=G\r\n");
  inf.WriteSection("InstalledFiles", {{"Count", "2"}, {"0", "C:\\Talvenor\\a.txt"}, {"1", "C:\\Talvenor\\Setup.inf"}});
  std::ifstream in(path_, std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content,
            "[Program]\r\nProgramname=Talvenor\r\n[InstalledFiles]\r\nCount=2\r\n0=C:\\Talvenor\\a.txt\r\n"
            "1=C:\\Talvenor\\Setup.inf\r\n[Group]\r\nGroupname=G\r\n");
}

TEST_F(ProfileTest, WriteFailureRaisesTheWriteErrorText) {
  // A file in a folder that does not exist cannot be written (a read-only flag would not
  // stop a test run as root under Wine).
  const std::string unwritable = folder_ + "no such folder\\Setup.inf";
  try {
    ProfileFile(unwritable).WriteString("InstalledFiles", "Count", "1");
    ADD_FAILURE() << "a write into an unwritable file must raise";
  } catch (const platform::Error& e) {
    EXPECT_EQ(std::string(e.what()), "nach " + unwritable + " kann nicht geschrieben werden");
  }
  try {
    ProfileFile(unwritable).WriteSection("InstalledFiles", {{"Count", "1"}});
    ADD_FAILURE() << "a section written into an unwritable file must raise";
  } catch (const platform::Error& e) {
    EXPECT_EQ(std::string(e.what()), "nach " + unwritable + " kann nicht geschrieben werden");
  }
}

TEST_F(ProfileTest, ReadSectionGivesEveryLineHoweverLong) {
  std::string text = "[Other]\r\nx=1\r\n[InstalledFiles]\r\nCount=3000\r\n";
  for (int i = 0; i < 3000; ++i)
    text += std::to_string(i) + "=C:\\Programme\\Talvenor\\Daten\\Datei" + std::to_string(i) + ".bin\r\n";
  Write(text + "[After]\r\ny=2\r\n");
  const auto lines = ProfileFile(path_).ReadSection("installedfiles");
  ASSERT_EQ(lines.size(), 3001u);  // far more than one key-list buffer holds
  EXPECT_EQ(lines[0].first, "Count");
  EXPECT_EQ(lines[0].second, "3000");
  EXPECT_EQ(lines[3000].first, "2999");
  EXPECT_EQ(lines[3000].second, "C:\\Programme\\Talvenor\\Daten\\Datei2999.bin");
  EXPECT_TRUE(ProfileFile(path_).ReadSection("Missing").empty());
}

}  // namespace
