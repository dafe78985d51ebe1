#include "journal.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace install {
namespace {

using Kind = JournalEntry::Kind;

const char kTarget[] = "C:\\Programme\\Talvenor\\";
const char kAside[] = "C:\\Programme\\Talvenor\\~Talvenor-Rollback-0123456789abcdef\\";

JournalPlaces Places() {
  return {"Talvenor",
          "Software\\Talvenor",
          "C:\\ProgramData\\Talvenor Setup\\Talvenor\\",
          "C:\\windows\\",
          {"C:\\users\\anna\\Start Menu\\Programs\\", "C:\\users\\anna\\Start Menu\\Programs\\Startup\\"}};
}

// A run of every kind of change, up to the middle of its extraction.
Journal Sample() {
  Journal journal{"Talvenor", "\\Software\\Talvenor", kTarget, {}};
  journal.entries = {
      {Kind::Folder, "C:\\ProgramData\\Talvenor Setup"},
      {Kind::Folder, "C:\\ProgramData\\Talvenor Setup\\Talvenor"},
      {Kind::Folder, "C:\\Programme"},
      {Kind::Folder, "C:\\Programme\\Talvenor"},
      {Kind::Aside, kAside},
      {Kind::Saved, std::string(kTarget) + "Setup.inf", std::string(kAside) + "1"},
      {Kind::Key, "Software\\Talvenor"},
      {Kind::NoValue, "Software\\Talvenor", "Programmpfad"},
      {Kind::Value, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Talvenor", "DisplayName", 1,
       std::string("Talvenor 1.0\0", 13)},
      {Kind::Saved, "C:\\windows\\UnInstall.exe", "C:\\ProgramData\\Talvenor Setup\\Talvenor\\kept-2"},
      {Kind::Folder, "C:\\users\\anna\\Start Menu\\Programs\\Talvenor"},
      {Kind::File, "C:\\users\\anna\\Start Menu\\Programs\\Talvenor\\UnInstall.lnk"},
      {Kind::MemberFolder, "Ruftöne"},
      {Kind::Member, "Ruftöne\\a.mid", ""},
      {Kind::Member, "talv20.exe", "0\\3"},
  };
  return journal;
}

std::string Text(const Journal& journal) {
  std::string text = JournalStart(journal);
  for (const JournalEntry& entry : journal.entries) text += JournalRecord(entry);
  return text;
}

TEST(Journal, ReadsBackEveryKindOfRecordAndStaysInTheInstallationsPlaces) {
  Journal journal = Sample();
  journal.entries.push_back({Kind::Commit});
  const auto parsed = ParseJournal(Text(journal));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(Text(*parsed), Text(journal));
  const auto value = std::find_if(parsed->entries.begin(), parsed->entries.end(),
                                  [](const JournalEntry& e) { return e.kind == Kind::Value; });
  ASSERT_NE(value, parsed->entries.end());
  EXPECT_EQ(value->data, std::string("Talvenor 1.0\0", 13));
  EXPECT_EQ(value->type, 1u);
  EXPECT_TRUE(parsed->Committed());
  EXPECT_TRUE(StaysInPlaces(*parsed, Places()));
}

TEST(Journal, ARecordCutShortAtTheEndWasNeverActedOnAndIsLeftOut) {
  const std::string whole = Text(Sample());
  const std::string next = JournalRecord({Kind::Member, "neu.txt", ""});
  const auto parsed = ParseJournal(whole + next.substr(0, next.size() / 2));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->entries.size(), Sample().entries.size());
  EXPECT_FALSE(parsed->Committed());
  // Zeros where the system extended the file but wrote nothing.
  EXPECT_TRUE(ParseJournal(whole + std::string(512, '\0')));
}

TEST(Journal, ADamagedOrForeignJournalIsRefusedWhole) {
  const std::string whole = Text(Sample());
  std::string flipped = whole;
  flipped[whole.find("talv20.exe")] = 'T';
  EXPECT_FALSE(ParseJournal(flipped)) << "a changed byte in a complete record";
  EXPECT_FALSE(ParseJournal(std::string(whole).insert(whole.find("talv20.exe") + 4, "\r\n")))
      << "a record split in two";
  EXPECT_FALSE(ParseJournal("Talvenor setup journal 2\r\n" + whole.substr(whole.find('\n') + 1)));
  EXPECT_FALSE(ParseJournal(""));
  EXPECT_FALSE(ParseJournal(whole + JournalRecord({Kind::Commit}) + JournalRecord({Kind::File, "C:\\x"})))
      << "nothing after the commit";
  Journal other = Sample();
  other.uninstallEntry = "Fremd";
  EXPECT_FALSE(StaysInPlaces(other, Places())) << "the journal of another installation";
  EXPECT_THROW(JournalRecord({Kind::File, "C:\\a\tb"}), std::invalid_argument);
}

TEST(Journal, ANameOutsideTheInstallationIsRefused) {
  const JournalEntry outside[] = {
      {Kind::File, "C:\\windows\\system32\\kernel32.dll"},
      {Kind::File, "C:\\Programme\\Talvenor\\..\\Fremd\\a.txt"},
      {Kind::File, "C:\\users\\anna\\Start Menu\\Programs\\Talvenor\\notiz.txt"},
      {Kind::Folder, "C:\\Programme\\Fremd"},
      {Kind::Folder, "C:\\ProgramData"},
      {Kind::Saved, "C:\\Programme\\Talvenor\\a.txt", "C:\\Fremd\\a.txt"},
      {Kind::Member, "..\\..\\windows\\win.ini", ""},
      {Kind::Member, "C:\\boot.ini", ""},
      {Kind::MemberFolder, "\\windows"},
      {Kind::Member, "a.txt", "..\\x"},
      {Kind::Key, "Software\\Microsoft"},
      {Kind::Key, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
      {Kind::NoValue, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Talvenor"},
      {Kind::Aside, "C:\\Programme\\Talvenor\\Ruftöne\\"},
  };
  for (const JournalEntry& entry : outside) {
    Journal journal = Sample();
    journal.entries.push_back(entry);
    const auto parsed = ParseJournal(Text(journal));
    ASSERT_TRUE(parsed) << entry.path;
    EXPECT_FALSE(StaysInPlaces(*parsed, Places())) << entry.path;
  }
  Journal root = Sample();
  root.target = "C:\\";
  EXPECT_FALSE(StaysInPlaces(root, Places()));
  // A member kept in the aside folder needs one.
  Journal withoutAside{"Talvenor", "Software\\Talvenor", kTarget, {{Kind::Member, "a.txt", "1"}}};
  EXPECT_FALSE(StaysInPlaces(withoutAside, Places()));
}

}  // namespace
}  // namespace install
