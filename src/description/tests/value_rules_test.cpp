#include "value_rules.h"

#include <gtest/gtest.h>

namespace setupinf {
namespace {

TEST(ValueRules, ATargetFolderIsAbsoluteWithDriveAndBackslashOrAsAShare) {
  for (const char* path : {"C:\\", "c:\\Programme\\Talvenor", "\\\\server\\share", "\\\\server\\share\\Talvenor"})
    EXPECT_TRUE(IsAbsoluteFolderPath(path)) << path;
  for (const char* path : {"", " ", "\\", "Talvenor", "C:", "C:Talvenor", "1:\\x", "\\Talvenor", "\\\\", "\\\\server",
                           "\\\\server\\", "\\\\\\share", "\\\\server\\\\share"})
    EXPECT_FALSE(IsAbsoluteFolderPath(path)) << path;
}

TEST(ValueRules, PlainFileNamesHaveNoFolderPart) {
  for (const char* good : {"UnInstall.exe", "Talvenor Watcher", "a..b", "..x"})
    EXPECT_TRUE(IsPlainFileName(good)) << good;
  for (const char* bad : {"", ".", "..", "..\\x.exe", "a\\b", "a/b", "C:x.exe", "x:stream"})
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;
}

TEST(ValueRules, RelativePathsStayBelowTheirFolder) {
  for (const char* good : {"", "talv20.exe", "bin\\talv20.exe", "a..b\\c", "hilfe/x.txt"})
    EXPECT_TRUE(StaysBelow(good)) << good;
  for (const char* bad : {"..\\x.exe", "bin\\..\\..\\x", "bin\\..", "\\Windows\\x.exe", "/x", "C:\\x.exe", "C:x.exe",
                          "\\\\server\\share\\x", ".\\..\\x"})
    EXPECT_FALSE(StaysBelow(bad)) << bad;
  // A key path may start with a backslash; it is below HKEY_LOCAL_MACHINE either way.
  EXPECT_TRUE(StaysBelowKnownPlace("\\Software\\Talvenor"));
  EXPECT_FALSE(StaysBelowKnownPlace("Software\\..\\..\\SYSTEM"));
  EXPECT_FALSE(StaysBelowKnownPlace("C:\\Users"));
}

TEST(ValueRules, EachValueIsCheckedAgainstItsOwnRule) {
  PathValues values;
  values.programEntry = "\\Software\\Talvenor";
  values.uninstallEntry = "Talvenor";
  values.uninstallString = "UnInstall.exe";
  values.groupEntries = {{"Talvenor", "talv20.exe"}, {"Liesmich", ""}};
  values.autostartExe = "talv20.exe /sleep ..\\..\\x";  // parameters are not a path
  values.autostartName = "Talvenor Watcher";
  EXPECT_TRUE(CheckPathValues(values).empty());

  values.programEntry = "\\";
  values.uninstallEntry = "";
  values.uninstallString = "..\\..\\ProgramData\\x.exe";
  values.groupName = "..\\..\\Startup";
  values.groupEntries = {{"a\\b", "..\\x.exe"}};
  values.autostartExe = "\\x.exe";
  values.autostartName = "..";
  const auto problems = CheckPathValues(values);
  ASSERT_EQ(problems.size(), 8u);
  EXPECT_EQ(problems[0].key, "ProgramEntry");
  EXPECT_EQ(problems[1].key, "UnInstallEntry");
  EXPECT_EQ(problems[2].key, "UninstallString");
  EXPECT_EQ(problems[2].rule, Rule::PlainFileName);
  EXPECT_EQ(problems[3].key, "Groupname");
  EXPECT_EQ(problems[4].section, "GroupEntries");
  EXPECT_EQ(problems[5].rule, Rule::BelowTarget);
  EXPECT_EQ(problems[6].key, "ExeString");
  EXPECT_EQ(problems[7].key, "Description");
}

}  // namespace
}  // namespace setupinf
