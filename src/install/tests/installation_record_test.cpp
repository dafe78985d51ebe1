#include "installation_record.h"

#include <gtest/gtest.h>

namespace install {
namespace {

InstallationRecord Sample() {
  InstallationRecord record;
  record.target = "C:\\Programme\\Talvenor\\";
  record.setupInf = "C:\\Programme\\Talvenor\\Setup.inf";
  record.programEntry = "Talvenor";
  record.uninstallEntry = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Talvenor";
  record.uninstaller = "C:\\windows\\UnInstall.exe";
  record.folders = {"C:\\Programme", "C:\\Programme\\Talvenor"};
  record.files = {"C:\\Programme\\Talvenor\\talv20.exe", "C:\\programme\\talvenor\\Ruftöne\\a.mid"};
  record.links = {"C:\\users\\x\\Start Menu\\Programs\\Talvenor\\UnInstall.lnk"};
  return record;
}

TEST(InstallationRecord, ReadsBackWhatItWrote) {
  const InstallationRecord record = Sample();
  const auto parsed = InstallationRecord::Parse(record.Serialize());
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->Serialize(), record.Serialize());
  EXPECT_EQ(parsed->files, record.files);
  EXPECT_EQ(parsed->links, record.links);
}

TEST(InstallationRecord, RefusesAnythingOutsideTheTargetOrAnotherFormat) {
  for (const char* file : {"C:\\Windows\\system32\\x.dll", "C:\\Programme\\Talvenor\\..\\x",
                           "C:\\Programme\\Talvenor\\", "C:\\Programme\\Talvenorx\\a"}) {
    InstallationRecord record = Sample();
    record.files.push_back(file);
    EXPECT_FALSE(InstallationRecord::Parse(record.Serialize())) << file;
  }
  InstallationRecord relative = Sample();
  relative.target = "Talvenor\\";
  EXPECT_FALSE(InstallationRecord::Parse(relative.Serialize()));
  EXPECT_FALSE(InstallationRecord::Parse("Talvenor installation record 2\r\ntarget\tC:\\T\\\r\n"));
  EXPECT_FALSE(InstallationRecord::Parse(Sample().Serialize() + "delete\tC:\\x\r\n"));
}

TEST(InstallationRecord, AnUpdateKeepsWhatTheEarlierVersionWroteAndIsStillThere) {
  InstallationRecord previous = Sample();
  previous.files = {"C:\\Programme\\Talvenor\\alt.txt", "C:\\Programme\\Talvenor\\weg.txt",
                    "C:\\PROGRAMME\\Talvenor\\talv20.exe", previous.setupInf};
  InstallationRecord current = Sample();
  current.folders = {"C:\\Programme\\Talvenor\\neu"};
  current.files = {"C:\\Programme\\Talvenor\\talv20.exe", "C:\\Programme\\Talvenor\\neu\\b.txt", current.setupInf};
  const auto exists = [](const std::string& path) { return path.find("weg") == std::string::npos; };
  const InstallationRecord merged = UpdatedFrom(previous, current, exists);
  EXPECT_EQ(merged.files,
            (std::vector<std::string>{"C:\\Programme\\Talvenor\\talv20.exe", "C:\\Programme\\Talvenor\\neu\\b.txt",
                                      "C:\\Programme\\Talvenor\\alt.txt", current.setupInf}));
  EXPECT_EQ(merged.folders,
            (std::vector<std::string>{"C:\\Programme", "C:\\Programme\\Talvenor", "C:\\Programme\\Talvenor\\neu"}));
  EXPECT_EQ(merged.links, current.links);

  // An earlier installation elsewhere is another installation's.
  previous.target = "D:\\Talvenor\\";
  EXPECT_EQ(UpdatedFrom(previous, current, exists).Serialize(), current.Serialize());
}

}  // namespace
}  // namespace install
