#include "member_names.h"

#include "test_zip.h"

#include <gtest/gtest.h>

using unzip::IsSafeMemberName;
using unzip::MatchesSpec;

TEST(MemberNames, OrdinaryNamesAreSafe) {
  for (const char* name : {"readme.txt", "bin/Talvenor.exe", "bin\\data\\logo.bmp", "docs/", "a.b.c", "CONSOLE.TXT",
                           "COM10", "LPT0.txt", "nul_x", ".hidden", "Ringt\xF6ne/Tr\xE4ume.mid"}) {
    EXPECT_TRUE(IsSafeMemberName(name)) << name;
  }
}

TEST(MemberNames, NamesLeavingTheFolderAreRefused) {
  for (const char* name : {"", "/etc/passwd", "\\windows\\win.ini", "\\\\server\\share\\x", "\\\\?\\C:\\x", "C:\\x.txt",
                           "c:x.txt", "../x", "a/../../x", "a\\..\\x", "..", "a/..", "file.txt:stream", "a/b:c/d"}) {
    EXPECT_FALSE(IsSafeMemberName(name)) << name;
  }
}

TEST(MemberNames, PartsThatWindowsWouldAlterAreRefused) {
  for (const char* name : {"a./b", "dir /x", "x.", "x ", "./x", "a//b", "a/b//", "a\\/b",
                           "a\x01"
                           "b",
                           "a<b", "a>b", "a|b", "a\"b", "a?b", "a*b"}) {
    EXPECT_FALSE(IsSafeMemberName(name)) << name;
  }
}

TEST(MemberNames, DeviceNamesAreRefusedWithAndWithoutExtension) {
  for (const char* name : {"CON", "con", "prn.txt", "Aux.dat", "NUL", "sub/nul.tar.gz", "COM1", "com9.log", "LPT1",
                           "lpt5.x", "CON .txt", "conin$", "COM\xB9", "com\xC2\xB2.txt", "CON/readme.txt"}) {
    EXPECT_FALSE(IsSafeMemberName(name)) << name;
  }
}

TEST(MemberNames, DotPartsAreDropped) {
  EXPECT_EQ(unzip::WithoutDotParts("./"), "");
  EXPECT_EQ(unzip::WithoutDotParts("./sub/./a.txt"), "sub/a.txt");
  EXPECT_EQ(unzip::WithoutDotParts(".\\sub\\"), "sub\\");
  EXPECT_EQ(unzip::WithoutDotParts("../a/.."), "../a/..");
  EXPECT_EQ(unzip::WithoutDotParts(".hidden/x."), ".hidden/x.");
}

// "Ruftöne/Melodie Ä.mid" in UTF-8, in 1252 and in the OEM code pages 437 and 850.
const std::string kUtf8Name = "Ruft\xC3\xB6ne/Melodie \xC3\x84.mid";
const std::string kAnsiName = "Ruft\xF6ne/Melodie \xC4.mid";
const std::string kOemName = "Ruft\x94ne/Melodie \x8E.mid";

unzip::NameStatus Decode(const std::string& stored, uint16_t flags, uint16_t madeBy, unzip::MemberName& name,
                         int oemCodePage = 850) {
  return unzip::DecodeMemberName(stored, "", flags, madeBy, unzip::TableCodePages(oemCodePage), name);
}

TEST(MemberNameDecoding, Utf8FlagOemHostsAndAnsi) {
  constexpr uint16_t kUtf8Flag = 0x800;
  struct Case {
    std::string stored;
    uint16_t flags;
    uint16_t madeBy;
  };
  for (const Case& c : {Case{kUtf8Name, kUtf8Flag, 20}, Case{kUtf8Name, kUtf8Flag | 8, 0x314}, Case{kOemName, 0, 20},
                        Case{kOemName, 0, 0x0614}, Case{kOemName, 0, 0x0B32}, Case{kAnsiName, 0, 0x0B14},
                        Case{kAnsiName, 0, 0x0A14}, Case{kAnsiName, 0, 0x0314}, Case{kUtf8Name, 0, 0x031E}}) {
    unzip::MemberName name;
    EXPECT_EQ(Decode(c.stored, c.flags, c.madeBy, name), unzip::NameStatus::kOk) << c.madeBy;
    EXPECT_EQ(name.path, kUtf8Name) << c.madeBy;
    EXPECT_EQ(name.shown, kAnsiName) << c.madeBy;
  }
}

TEST(MemberNameDecoding, AValidUnicodePathFieldGivesTheName) {
  const auto decode = [](const std::string& stored, const std::string& extra) {
    unzip::MemberName name;
    unzip::DecodeMemberName(stored, extra, 0, 20, unzip::TableCodePages(850), name);
    return name.path;
  };
  const std::string field = ziptest::UnicodePathExtra(kOemName, "\xC3\x84.mid");
  const std::string otherBlock("\x55\x54\x05\x00\x01\x00\x00\x00\x00", 9);  // a time stamp
  EXPECT_EQ(decode(kOemName, field), "\xC3\x84.mid");
  EXPECT_EQ(decode(kOemName, otherBlock + field), "\xC3\x84.mid");
  EXPECT_EQ(decode(kOemName, ziptest::UnicodePathExtra(kAnsiName, "\xC3\x84.mid")), kUtf8Name);
  EXPECT_EQ(decode(kOemName, ziptest::UnicodePathExtra(kOemName, "\xC3\x84.mid", 2)), kUtf8Name);
  EXPECT_EQ(decode(kOemName, ziptest::UnicodePathExtra(kOemName, "")), kUtf8Name);
  // A field cut short by the end of the extra field is not read past it.
  EXPECT_EQ(decode(kOemName, field.substr(0, field.size() - 1)), kUtf8Name);
}

TEST(MemberNameDecoding, TheOemCodePageIsTheSystemsOne) {
  unzip::MemberName name;
  Decode("\x9B.txt", 0, 20, name, 850);
  EXPECT_EQ(name.shown, "\xF8.txt");  // ø
  Decode("\x9B.txt", 0, 20, name, 437);
  EXPECT_EQ(name.shown, "\xA2.txt");  // ¢
}

TEST(MemberNameDecoding, NamesWithoutAnAnsiFormAndBadUtf8AreRefused) {
  unzip::MemberName name;
  EXPECT_EQ(Decode("\xCE\xA9mega.txt", 0x800, 0x314, name), unzip::NameStatus::kNotInAnsi);
  EXPECT_EQ(name.shown, "?mega.txt");
  EXPECT_EQ(Decode("\xE2\x94\x9C.txt", 0, 0x314, name), unzip::NameStatus::kNotInAnsi);
  EXPECT_EQ(Decode("\xDB.txt", 0, 20, name), unzip::NameStatus::kNotInAnsi);  // a block
  EXPECT_EQ(Decode("\xC0\xAF.txt", 0x800, 20, name), unzip::NameStatus::kBadUtf8);
  EXPECT_EQ(Decode("\xED\xA0\x80.txt", 0x800, 20, name), unzip::NameStatus::kBadUtf8);
  EXPECT_EQ(Decode("a\xF6.txt", 0x800, 20, name), unzip::NameStatus::kBadUtf8);
  EXPECT_EQ(name.shown, "a\xF6.txt");
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
