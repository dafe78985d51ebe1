#include "member_names.h"

#include <gtest/gtest.h>

using unzip::IsSafeMemberName;
using unzip::MatchesSpec;

TEST(MemberNames, OrdinaryNamesAreSafe) {
  for (const char* name : {"readme.txt", "bin/Talvenor.exe", "bin\\data\\logo.bmp", "docs/",
                           "a.b.c", "CONSOLE.TXT", "COM10", "LPT0.txt", "nul_x", ".hidden",
                           "Ringt\xF6ne/Tr\xE4ume.mid"}) {
    EXPECT_TRUE(IsSafeMemberName(name)) << name;
  }
}

TEST(MemberNames, NamesLeavingTheFolderAreRefused) {
  for (const char* name : {"", "/etc/passwd", "\\windows\\win.ini", "\\\\server\\share\\x",
                           "\\\\?\\C:\\x", "C:\\x.txt", "c:x.txt", "../x", "a/../../x", "a\\..\\x",
                           "..", "a/..", "file.txt:stream", "a/b:c/d"}) {
    EXPECT_FALSE(IsSafeMemberName(name)) << name;
  }
}

TEST(MemberNames, PartsThatWindowsWouldAlterAreRefused) {
  for (const char* name : {"a./b", "dir /x", "x.", "x ", "./x", "a//b", "a/b//", "a\\/b",
                           "a\x01" "b", "a<b", "a>b", "a|b", "a\"b", "a?b", "a*b"}) {
    EXPECT_FALSE(IsSafeMemberName(name)) << name;
  }
}

TEST(MemberNames, DeviceNamesAreRefusedWithAndWithoutExtension) {
  for (const char* name : {"CON", "con", "prn.txt", "Aux.dat", "NUL", "sub/nul.tar.gz", "COM1",
                           "com9.log", "LPT1", "lpt5.x", "CON .txt", "conin$", "COM\xB9",
                           "CON/readme.txt"}) {
    EXPECT_FALSE(IsSafeMemberName(name)) << name;
  }
}

TEST(MemberNames, OutputPathKeepsOrDropsFolders) {
  EXPECT_EQ(unzip::OutputPath("a\\b/c.txt", true), "a/b/c.txt");
  EXPECT_EQ(unzip::OutputPath("a\\b/c.txt", false), "c.txt");
  EXPECT_EQ(unzip::OutputPath("plain.txt", false), "plain.txt");
  EXPECT_EQ(unzip::OutputPath("a/b/", true), "a/b");
  EXPECT_EQ(unzip::ParentFolder("a/b/c.txt"), "a/b");
  EXPECT_EQ(unzip::ParentFolder("c.txt"), "");
}

TEST(FileSpecs, StarDotStarMatchesEveryName) {
  for (const char* name : {"readme.txt", "README", "sub/dir/file", "x.", ".profile", "a/b.c/d"})
    EXPECT_TRUE(MatchesSpec(name, "*.*")) << name;
  EXPECT_TRUE(MatchesSpec("anything", "*"));
}

TEST(FileSpecs, WildcardsAndCase) {
  EXPECT_TRUE(MatchesSpec("Bin/Setup.EXE", "bin/*.exe"));
  EXPECT_TRUE(MatchesSpec("Bin\\Setup.EXE", "bin/*.exe"));
  EXPECT_TRUE(MatchesSpec("bin/setup.exe", "BIN\\SETUP.EXE"));
  EXPECT_TRUE(MatchesSpec("\xC4RGER.TXT", "\xE4rger.txt"));
  EXPECT_TRUE(MatchesSpec("file1.txt", "file?.txt"));
  EXPECT_FALSE(MatchesSpec("file12.txt", "file?.txt"));
  EXPECT_FALSE(MatchesSpec("file.txt", "file?.txt"));
  EXPECT_TRUE(MatchesSpec("readme", "readme.*"));
  EXPECT_FALSE(MatchesSpec("readme.txt", "*.exe"));
  EXPECT_TRUE(MatchesSpec("aXbXc", "a*b*c"));
  EXPECT_FALSE(MatchesSpec("aXbXd", "a*b*c"));
  EXPECT_FALSE(MatchesSpec("readme.txt", ""));
}

TEST(FileSpecs, ManyStarsStayFast) {
  const std::string name(5000, 'a');
  EXPECT_FALSE(MatchesSpec(name, "*a*a*a*a*a*a*a*a*a*a*a*a*a*b"));
}
