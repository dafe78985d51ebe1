#include "command_line.h"

#include <gtest/gtest.h>

using app::Display;
using app::ParseArguments;
using app::SplitArguments;

TEST(CommandLine, QuotesGroupBlanksAndBackslashesStayAsTheyAre) {
  EXPECT_EQ(SplitArguments("\"C:\\Medium Eins\\setup.exe\" /VERYSILENT  /DIR=\"C:\\Program Files\\Talvenor\\\" "
                           "\"/LOG=C:\\Temp\\a b.txt\"\t-lang=english.lng"),
            (std::vector<std::string>{"/VERYSILENT", "/DIR=C:\\Program Files\\Talvenor\\", "/LOG=C:\\Temp\\a b.txt",
                                      "-lang=english.lng"}));
  EXPECT_EQ(SplitArguments("setup.exe"), std::vector<std::string>{});
  EXPECT_EQ(SplitArguments("D:\\setup.exe   "), std::vector<std::string>{});
  EXPECT_EQ(SplitArguments("setup.exe \"\""), std::vector<std::string>{""});
}

TEST(CommandLine, TheSwitchesOfAnUnattendedRunInAnyLetterCaseWithSlashOrDash) {
  const auto parsed = ParseArguments(
      {"-verysilent", "/SuppressMsgBoxes", "/dir=D:\\Ziel", "/LANG=English.LNG", "/noautostart", "/Log"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.display, Display::VerySilent);
  EXPECT_TRUE(parsed.options.suppressMessageBoxes);
  EXPECT_TRUE(parsed.quiet);
  EXPECT_EQ(parsed.options.targetFolder, "D:\\Ziel");
  EXPECT_EQ(parsed.options.languageFile, "English.LNG");
  EXPECT_FALSE(parsed.options.autostart);
  EXPECT_TRUE(parsed.options.log);
  EXPECT_EQ(parsed.options.logFile, "");

  const auto silent = ParseArguments({"/SILENT", "/LOG=C:\\a=b.txt", "/DIR=\\\\server\\share\\Talvenor"});
  ASSERT_EQ(silent.error, "");
  EXPECT_EQ(silent.options.display, Display::Silent);
  EXPECT_EQ(silent.options.logFile, "C:\\a=b.txt");
  EXPECT_TRUE(silent.options.autostart);
  EXPECT_EQ(ParseArguments({"/VERYSILENT", "/SILENT"}).options.display, Display::VerySilent);
}

TEST(CommandLine, NoArgumentsIsTheWizardAndTheLogGoesWithItToo) {
  const auto none = ParseArguments({});
  EXPECT_EQ(none.error, "");
  EXPECT_FALSE(none.options.Unattended());
  EXPECT_FALSE(none.options.log);
  const auto logged = ParseArguments({"/LOG=C:\\setup.log"});
  EXPECT_EQ(logged.error, "");
  EXPECT_EQ(logged.options.display, Display::Wizard);
  EXPECT_TRUE(ParseArguments({"/?"}).options.help);
  EXPECT_TRUE(ParseArguments({"-Help"}).options.help);
}

TEST(CommandLine, AnythingUnknownOrMalformedIsAnErrorNeverIgnored) {
  const std::vector<std::vector<std::string>> bad = {
      {"/VERYSILENT", "/QUIET"},                    // unknown switch
      {"/VERYSILENT", "C:\\Ziel"},                  // no switch at all
      {"/VERYSILENT", ""},                          // an empty argument
      {"/VERYSILENT", "/"},                         // a bare slash
      {"/VERYSILENT=1"},                            // a value where none belongs
      {"/VERYSILENT", "/DIR"},                      // a value missing
      {"/VERYSILENT", "/DIR="},                     // an empty value
      {"/VERYSILENT", "/DIR=Ziel"},                 // a relative folder
      {"/VERYSILENT", "/DIR=C:Ziel"},               // relative to the drive's current folder
      {"/VERYSILENT", "/LANG=..\\english.lng"},     // not a file of the medium
      {"/VERYSILENT", "/LANG=english.txt"},         // not a language file
      {"/VERYSILENT", "/LOG="},                     // an empty log name
      {"/VERYSILENT", "/DIR=C:\\a", "/dir=C:\\b"},  // given twice
      {"/DIR=C:\\Ziel"},                            // only with /SILENT or /VERYSILENT
      {"/SUPPRESSMSGBOXES"},
      {"/NOAUTOSTART", "/LOG"},
      {"/LANG=english.lng"},
  };
  for (const auto& args : bad) {
    std::string shown;
    for (const auto& arg : args) shown += arg + " ";
    EXPECT_NE(ParseArguments(args).error, "") << shown;
  }
  EXPECT_EQ(ParseArguments({"/DIR=C:\\Ziel"}).error, "/DIR gilt nur zusammen mit /SILENT oder /VERYSILENT.");
  EXPECT_EQ(ParseArguments({"/VERYSILENT", "/Bogus"}).error, "Unbekanntes Argument: /Bogus");
  // The boxes stay suppressed while the error is reported.
  EXPECT_TRUE(ParseArguments({"/VERYSILENT", "/SUPPRESSMSGBOXES", "/Bogus"}).quiet);
  EXPECT_FALSE(ParseArguments({"/VERYSILENT", "/Bogus"}).quiet);
}

TEST(CommandLine, TheUsageNamesEverySwitchAndEveryExitCode) {
  const std::string usage = app::UsageText();
  for (const char* name :
       {"/SILENT", "/VERYSILENT", "/SUPPRESSMSGBOXES", "/DIR=", "/LANG=", "/NOAUTOSTART", "/LOG", "/HELP", "/?"})
    EXPECT_NE(usage.find(name), std::string::npos) << name;
  for (int code = 0; code <= 8; ++code)
    EXPECT_NE(usage.find("\n" + std::to_string(code) + "\t"), std::string::npos) << code;
}
