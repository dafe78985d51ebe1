#include "uninstall_core.h"

#include <gtest/gtest.h>

using namespace uninstall;

namespace {

using Lines = std::vector<std::pair<std::string, std::string>>;
using Strings = std::vector<std::string>;

TEST(ParseArguments, OnePathWithOptionalQuietSwitch) {
  auto o = ParseArguments({"C:\\Programme\\Talvenor\\Setup.inf"});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->setupInf, "C:\\Programme\\Talvenor\\Setup.inf");
  EXPECT_FALSE(o->quiet);

  o = ParseArguments({"C:\\Programme\\Talvenor\\Setup.inf", "/QUIET"});
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->quiet);
  o = ParseArguments({"/quiet", "C:\\T\\Setup.inf"});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->setupInf, "C:\\T\\Setup.inf");
  EXPECT_TRUE(o->quiet);
}

TEST(ParseArguments, TheLogWithOrWithoutAFileName) {
  auto o = ParseArguments({"/LOG", "C:\\T\\Setup.inf", "/quiet"});
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->log);
  EXPECT_EQ(o->logFile, "");
  o = ParseArguments({"C:\\T\\Setup.inf", "/log=C:\\Protokolle\\entfernen.txt"});
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->log);
  EXPECT_EQ(o->logFile, "C:\\Protokolle\\entfernen.txt");
  EXPECT_FALSE(ParseArguments({"C:\\T\\Setup.inf"})->log);
  EXPECT_FALSE(ParseArguments({"C:\\T\\Setup.inf", "/LOG="}));
  EXPECT_FALSE(ParseArguments({"C:\\T\\Setup.inf", "/LOG", "/LOG=a.txt"}));
  EXPECT_FALSE(ParseArguments({"C:\\T\\Setup.inf", "/LOGFILE=a.txt"}));
}

TEST(ParseArguments, RejectsMissingExtraOrUnknownArguments) {
  EXPECT_FALSE(ParseArguments({}));
  EXPECT_FALSE(ParseArguments({"/quiet"}));
  EXPECT_FALSE(ParseArguments({""}));
  EXPECT_FALSE(ParseArguments({"C:\\a\\Setup.inf", "C:\\b\\Setup.inf"}));
  EXPECT_FALSE(ParseArguments({"C:\\a\\Setup.inf", "/silent"}));
  EXPECT_FALSE(ParseArguments({"C:\\a\\Setup.inf", "/quiet2"}));
}

TEST(ListedFiles, EntriesBelowCountInNumericOrder) {
  const Lines section = {{"Count", "4"},         {"0", "C:\\T\\a.exe"},     {"2", "C:\\T\\c.dat"},
                         {"1", "C:\\T\\sub\\b"}, {"3", "C:\\T\\Setup.inf"}, {"10", "C:\\T\\ignored"},
                         {"4", "C:\\T\\beyond"}};
  EXPECT_EQ(ListedFiles(section), (Strings{"C:\\T\\a.exe", "C:\\T\\sub\\b", "C:\\T\\c.dat", "C:\\T\\Setup.inf"}));
}

TEST(ListedFiles, NoOrBrokenCountListsNothing) {
  EXPECT_TRUE(ListedFiles({{"0", "C:\\T\\a.exe"}}).empty());
  EXPECT_TRUE(ListedFiles({{"Count", "x"}, {"0", "C:\\T\\a.exe"}}).empty());
  EXPECT_TRUE(ListedFiles({{"Count", "-1"}, {"0", "C:\\T\\a.exe"}}).empty());
  EXPECT_TRUE(ListedFiles({{"Count", "0"}, {"0", "C:\\T\\a.exe"}}).empty());
  EXPECT_TRUE(ListedFiles({}).empty());
}

TEST(ListedFiles, OddKeysAndDuplicatesAndHugeCounts) {
  const Lines section = {
      {"COUNT", "99999999999999999"}, {"Count", "1"},  // the first Count line wins
      {"00", "C:\\T\\leading-zero"},  {"+1", "C:\\T\\signed"}, {"1", ""}, {"1", "C:\\T\\second"}, {"0", "C:\\T\\first"},
      {"0", "C:\\T\\duplicate"},      {"", "C:\\T\\nokey"}};
  EXPECT_EQ(ListedFiles(section), (Strings{"C:\\T\\first", "C:\\T\\second"}));
}

TEST(FolderLevels, DeepestFirstAndRefusingEscapes) {
  EXPECT_EQ(FolderLevels("a\\b\\c"), (Strings{"a\\b\\c", "a\\b", "a"}));
  EXPECT_EQ(FolderLevels("\\Talvenor\\"), (Strings{"Talvenor"}));
  EXPECT_EQ(FolderLevels("a\\\\b"), (Strings{"a\\b", "a"}));
  EXPECT_TRUE(FolderLevels("").empty());
  EXPECT_TRUE(FolderLevels("a\\..\\..\\Windows").empty());
  EXPECT_TRUE(FolderLevels("..").empty());
  EXPECT_TRUE(FolderLevels(".\\a").empty());
  EXPECT_TRUE(FolderLevels("C:\\Windows").empty());
  EXPECT_EQ(FolderLevels("a..b"), (Strings{"a..b"}));
}

TEST(HasUnresolvedSegments, FindsDotSegmentsAndForwardSlashes) {
  EXPECT_FALSE(HasUnresolvedSegments("C:\\Programme\\Talvenor\\a..b.txt"));
  EXPECT_FALSE(HasUnresolvedSegments("C:\\Programme\\Talvenor\\"));
  EXPECT_TRUE(HasUnresolvedSegments("C:\\Programme\\Talvenor\\..\\..\\Windows\\x.dll"));
  EXPECT_TRUE(HasUnresolvedSegments("C:\\Programme\\Talvenor\\.\\x.dll"));
  EXPECT_TRUE(HasUnresolvedSegments("C:\\Programme\\Talvenor\\.."));
  EXPECT_TRUE(HasUnresolvedSegments("C:\\Programme\\Talvenor/../x.dll"));
}

TEST(FoldersToRemove, EveryHoldingFolderOnceDeepestFirst) {
  const Strings files = {"talv20.exe",          "Daten\\Logos\\a.bmp",
                         "Daten\\Logos\\b.bmp", "Daten\\Klingeltöne\\c.mid",
                         "Hilfe\\x.hlp",        "Setup.inf"};
  EXPECT_EQ(FoldersToRemove(files), (Strings{"Daten\\Klingeltöne", "Daten\\Logos", "Daten", "Hilfe"}));
  EXPECT_TRUE(FoldersToRemove({"a.exe", "Setup.inf"}).empty());
}

TEST(LastQuotedField, TakesTheSetupInfOfAnUninstallCommand) {
  EXPECT_EQ(LastQuotedField("\"C:\\WINDOWS\\UnInstall.exe\" \"C:\\Programme\\Talvenor\\Setup.inf\""),
            "C:\\Programme\\Talvenor\\Setup.inf");
  EXPECT_EQ(LastQuotedField("\"C:\\Programme\\Talvenor\\Setup.inf\""), "C:\\Programme\\Talvenor\\Setup.inf");
  EXPECT_EQ(LastQuotedField("C:\\x.inf"), "");
  EXPECT_EQ(LastQuotedField("\"unclosed"), "");
  EXPECT_EQ(LastQuotedField("\"\""), "");
}

TEST(ReportText, EverythingRemoved) {
  EXPECT_EQ(ReportText("Talvenor", {}, ""), "Talvenor wurde vollständig entfernt.");
  const std::string kept = ReportText("Talvenor", {}, "C:\\Programme\\Talvenor\\");
  EXPECT_NE(kept.find("Der Ordner C:\\Programme\\Talvenor\\ enthält noch weitere Dateien"), std::string::npos);
}

TEST(ReportText, ListsLeftoversWithReasonsAndCutsLongLists) {
  std::string text = ReportText("Talvenor",
                                {{"C:\\WINDOWS\\evil.dll", Reason::OutsideTarget},
                                 {"C:\\T\\busy.dll", Reason::DeleteFailed},
                                 {"HKEY_LOCAL_MACHINE\\Talvenor", Reason::NotOurs}},
                                "");
  EXPECT_EQ(text.find("Folgendes konnte nicht entfernt werden:"), 0u);
  EXPECT_NE(text.find("C:\\WINDOWS\\evil.dll\n    liegt außerhalb des Installationsordners"), std::string::npos);
  EXPECT_NE(text.find("C:\\T\\busy.dll\n    konnte nicht gelöscht werden"), std::string::npos);
  EXPECT_NE(text.find("HKEY_LOCAL_MACHINE\\Talvenor\n    gehört nicht zu dieser Installation"), std::string::npos);
  EXPECT_EQ(text.find("weitere"), std::string::npos);

  std::vector<Leftover> many;
  for (int i = 0; i < 25; ++i) many.push_back({"C:\\T\\f" + std::to_string(i), Reason::DeleteFailed});
  text = ReportText("Talvenor", many, "");
  EXPECT_NE(text.find("C:\\T\\f19\n"), std::string::npos);
  EXPECT_EQ(text.find("C:\\T\\f20\n"), std::string::npos);
  EXPECT_NE(text.find("... und 5 weitere"), std::string::npos);
}

}  // namespace
