#include "extraction_record.h"

#include <gtest/gtest.h>

#include <set>

using install::ExtractionRecord;

namespace {

std::vector<std::string> Written(const ExtractionRecord& record) {
  std::vector<std::string> names;
  for (const auto& member : record.Members())
    if (member.written) names.push_back(member.name);
  return names;
}

// Each failure as "name|code".
std::vector<std::string> Failed(const ExtractionRecord& record) {
  std::vector<std::string> failures;
  for (const auto& failure : record.Failures())
    failures.push_back(failure.name + "|" + std::to_string(failure.errorCode));
  return failures;
}

const auto kNothingOnDisk = [](const std::string&) { return false; };

}  // namespace

TEST(ExtractionRecord, AFailureAfterAMemberStartsMeansItWasNotWritten) {
  ExtractionRecord record;
  EXPECT_FALSE(record.Message(0, "File exists, not overwritten: alt.txt"));  // a warning
  record.Message(6, "Unsafe name refused: ..\\boese.txt");                   // refused before any start
  record.MemberStarted("eins.txt");
  record.MemberStarted("kaputt.txt");
  const auto failure = record.Message(4, "CRC error: kaputt.txt");
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->name, "kaputt.txt");
  EXPECT_EQ(failure->message, "CRC error: kaputt.txt");
  record.MemberStarted("daten\\zwei.txt");
  record.Reconcile(2, kNothingOnDisk);  // agrees with the messages: the disk is not asked
  EXPECT_EQ(Written(record), (std::vector<std::string>{"eins.txt", "daten\\zwei.txt"}));
  EXPECT_EQ(record.WrittenCount(), 2);
  EXPECT_EQ(Failed(record), (std::vector<std::string>{"..\\boese.txt|6", "kaputt.txt|4"}));
}

TEST(ExtractionRecord, AMemberInterruptedByCancellingIsNotWritten) {
  ExtractionRecord record;
  record.MemberStarted("vorher.txt");
  record.MemberStarted("gross.dat");
  record.Message(8, "Extraction cancelled");
  record.Reconcile(1, kNothingOnDisk);
  EXPECT_EQ(Written(record), (std::vector<std::string>{"vorher.txt"}));
}

TEST(ExtractionRecord, WhenTheCountsDisagreeTheDiskDecides) {
  const std::set<std::string> onDisk = {"eins.txt", "zwei.txt"};
  const auto lookUp = [&](const std::string& name) { return onDisk.count(name) != 0; };
  // The library counts two members that went well, but reported a failure after the second
  // one started that did not concern it.
  ExtractionRecord misread;
  misread.MemberStarted("eins.txt");
  misread.MemberStarted("zwei.txt");
  misread.Message(7, "Cannot create folder: leer");
  misread.Reconcile(2, lookUp);
  EXPECT_EQ(Written(misread), (std::vector<std::string>{"eins.txt", "zwei.txt"}));
  EXPECT_EQ(Failed(misread), (std::vector<std::string>{"leer|7"}));

  // A member that is missing although no message said so.
  ExtractionRecord silent;
  silent.MemberStarted("eins.txt");
  silent.MemberStarted("fehlt.txt");
  silent.Reconcile(1, lookUp);
  EXPECT_EQ(Written(silent), (std::vector<std::string>{"eins.txt"}));
  EXPECT_EQ(Failed(silent), (std::vector<std::string>{"fehlt.txt|-1"}));
}

TEST(ExtractionRecord, TheReportShowsTheFirstFailuresAndCountsTheRest) {
  const std::vector<std::string> failures = {"a", "b", "c", "d"};
  EXPECT_EQ(install::FailureReport(failures, "Nicht installiert:", "... und %d weitere", 2),
            "Nicht installiert:\r\na\r\nb\r\n... und 2 weitere");
  EXPECT_EQ(install::FailureReport(failures, "Nicht installiert:", "... und %d weitere", 4),
            "Nicht installiert:\r\na\r\nb\r\nc\r\nd");
  EXPECT_EQ(install::FailureReport(failures, "H", "more", 3), "H\r\na\r\nb\r\nc\r\nmore");
}
