#include "lang_file.h"

#include <gtest/gtest.h>

using lang::Language;

namespace {

Language Parse(std::string_view text) { return Language(text, &lang::SameTextCp1252); }

// Every section name and the raw "key=value" lines under it.
std::vector<std::string> Outline(const Language& l) {
  std::vector<std::string> out;
  for (const lang::Section& s : l.Sections()) {
    out.push_back("[" + s.name + "]");
    for (const lang::Entry& e : s.entries) out.push_back(e.key + "=" + e.value);
  }
  return out;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(LangFileLines, AllThreeLineEndsSplitAndNulEndsTheText) {
  const std::string text = std::string("[A]\r\na=1\rb=2\nc=3\r\r\nd=4\n\ne=5") + '\0' + "f=6\r\n";
  EXPECT_EQ(Outline(Parse(text)), (Lines{"[A]", "a=1", "b=2", "c=3", "d=4", "e=5"}));
}

TEST(LangFileLines, NoTrimmingCommentsEmptyLinesAndLinesBeforeTheFirstSection) {
  const Language l = Parse("x=before\n; comment\n[ Sp ]\n;a=1\n b = 2 \n\n[]\nq=\"quoted\" \n");
  EXPECT_EQ(Outline(l), (Lines{"[ Sp ]", " b = 2 ", "[]", "q=\"quoted\" "}));
  EXPECT_EQ(l.ReadString(" Sp ", " b ", "?"), " 2 ");
  EXPECT_EQ(l.ReadString("Sp", " b ", "?"), "?");
  EXPECT_EQ(l.ReadString("", "q", "?"), "\"quoted\" ");
}

TEST(LangFileLines, SectionNeedsBracketsAtBothEnds) {
  // "[" alone and "[x] " are entries (the latter's trailing blank counts); " [y]" too.
  const Language l = Parse("[A]\n[\n[x] =1\n [y]=2\n[B]x=3]\n");
  EXPECT_EQ(Outline(l), (Lines{"[A]", "[x] =1", " [y]=2", "[B]x=3]"}));
}

TEST(LangFileLines, ValueIsEverythingAfterTheFirstEquals) {
  const Language l = Parse("[A]\nk==a=b \nnoequals\nempty=\n");
  EXPECT_EQ(l.ReadString("A", "k", "?"), "=a=b ");
  EXPECT_EQ(l.ReadString("A", "empty", "?"), "");
  EXPECT_EQ(l.ReadString("A", "noequals", "?"), "?");
}

TEST(LangFileLookup, FirstSectionOfANameAndFirstEntryWin) {
  const Language l = Parse("[Form2]\nk=first\nK=second\n[form2]\nk=third\nonly=here\n");
  EXPECT_EQ(l.ReadString("FORM2", "k", ""), "first");
  EXPECT_EQ(l.ReadString("Form2", "only", "dflt"), "dflt");
}

TEST(LangFileLookup, KeysAndSectionsIgnoreCaseButNotBlanks) {
  const Language l = Parse("[MISC]\nINSTALL_1=Welcome\ninstall_2 =Licence\n");
  EXPECT_EQ(l.ReadString("misc", "install_1", ""), "Welcome");
  EXPECT_EQ(l.ReadString("Misc", "install_2", "none"), "none");
  EXPECT_EQ(l.ReadString("Misc", "install_2 ", "none"), "Licence");
  EXPECT_EQ(l.ReadString("Missing", "install_1", "none"), "none");
}

TEST(LangFileLookup, Cp1252FoldMatchesUmlautsAndAccentedCapitals) {
  // "Größe" written with capitals "GRÖßE" and "ÄÖÜ" against "äöü" (bytes of code page 1252).
  const Language l = Parse(
      "[\xC4rger]\nGR\xD6\xDF"
      "E=1\n\x8A\x8C\x8E\x9F=2\n");
  EXPECT_EQ(l.ReadString("\xE4RGER",
                         "gr\xF6\xDF"
                         "e",
                         ""),
            "1");
  EXPECT_EQ(l.ReadString("\xC4rger", "\x9A\x9C\x9E\xFF", ""), "2");
  // Multiplication and division signs are no letters of a case pair.
  EXPECT_FALSE(lang::SameTextCp1252("\xD7", "\xF7"));
  EXPECT_FALSE(lang::SameTextCp1252("ab", "abc"));
}

TEST(LangFileLookup, ComparisonIsInjected) {
  int calls = 0;
  static int* counter;
  counter = &calls;
  const Language l("[A]\nk=v\n", [](const std::string& a, const std::string& b) {
    ++*counter;
    return a == b;
  });
  EXPECT_EQ(l.ReadString("A", "k", ""), "v");
  EXPECT_EQ(l.ReadString("a", "k", "none"), "none");  // exact comparison: no match
  EXPECT_GE(calls, 3);
}

TEST(LangFileHostile, BinaryBytesAndEmptyInput) {
  EXPECT_TRUE(Parse("").Sections().empty());
  EXPECT_TRUE(Parse(std::string_view("\0[A]\nk=v", 8)).Sections().empty());
  EXPECT_TRUE(Parse("no section at all\r\nk=v\r\n").Sections().empty());
  std::string bytes;
  for (int i = 1; i < 256; ++i) bytes += char(i);
  const Language l = Parse("[B]\n" + bytes + "=x\n");
  ASSERT_EQ(l.Sections().size(), 1u);
  // CR and LF split the bytes into three lines; only the last, from 0x0E on, holds an "=".
  EXPECT_EQ(l.Sections()[0].entries.size(), 1u);
}

TEST(LangFileHostile, OverlongLinesAndManyLines) {
  const std::string longValue(1 << 20, 'x');
  std::string text = "[A]\nk=" + longValue + "\n";
  for (int i = 0; i < 100000; ++i) text += "\n";
  text += "last=1";
  const Language l = Parse(text);
  EXPECT_EQ(l.ReadString("A", "k", ""), longValue);
  EXPECT_EQ(l.ReadString("A", "last", ""), "1");
}

TEST(LangText, DefaultWithoutLanguageEmptyWhenMissing) {
  EXPECT_EQ(lang::MiscText(nullptr, "Willkommen", "install_1"), "Willkommen");
  const Language l = Parse("[Misc]\ninstall_2=Licence\n");
  EXPECT_EQ(lang::MiscText(&l, "Willkommen", "install_1"), "");
  EXPECT_EQ(lang::MiscText(&l, "Lizenz", "INSTALL_2"), "Licence");
}

TEST(LangText, MarkersBecomeLineBreaks) {
  const Language l = Parse("[Misc]\na=Hello*|*World\nb=*|*\nc=*|**|*x\nd=x*|*\ne=*|\nf=**|**\n");
  EXPECT_EQ(lang::MiscText(&l, "", "a"), "Hello\r\nWorld");
  EXPECT_EQ(lang::MiscText(&l, "", "b"), "\r\n");
  EXPECT_EQ(lang::MiscText(&l, "", "c"), "\r\n\r\nx");
  EXPECT_EQ(lang::MiscText(&l, "", "d"), "x\r\n");
  EXPECT_EQ(lang::MiscText(&l, "", "e"), "*|");
  EXPECT_EQ(lang::MiscText(&l, "", "f"), "*\r\n*");
}

TEST(LangKeys, KeyShapes) {
  EXPECT_EQ(lang::FormCaptionKey("Form2"), "Form2.Caption");
  EXPECT_EQ(lang::PropertyKey("Form2", "autowatcher", "Hint"), "Form2.autowatcher.Hint");
  EXPECT_EQ(lang::LineKey("Form2", "memo1", 0), "Form2.memo1.lines[0]");
  EXPECT_EQ(lang::LineKey("Form2", "memo1", 12), "Form2.memo1.lines[12]");
  EXPECT_EQ(lang::CellKey("Form4", "Grid", 3, 0), "Form4.Grid.cells[3,0]");
  EXPECT_EQ(lang::CellKey("Form4", "Grid", 0, 10), "Form4.Grid.cells[0,10]");
  EXPECT_EQ(lang::ItemKey("Form2", "sprachwahl", 1), "Form2.sprachwahl.items[1]");
  EXPECT_STREQ(lang::kNoEntry, "fsdef");
}
