#include "installed_files.h"

#include <gtest/gtest.h>

TEST(InstalledFilesSection, CountTheFilesAndTheCopyInOrder) {
  const install::ProfileLines section =
      install::InstalledFilesSection({}, {"C:\\T\\a.txt", "C:\\T\\b\\c.txt"}, "C:\\T\\Setup.inf");
  EXPECT_EQ(section, (install::ProfileLines{
                         {"Count", "3"}, {"0", "C:\\T\\a.txt"}, {"1", "C:\\T\\b\\c.txt"}, {"2", "C:\\T\\Setup.inf"}}));
  EXPECT_EQ(install::InstalledFilesSection({}, {}, "C:\\T\\Setup.inf"),
            (install::ProfileLines{{"Count", "1"}, {"0", "C:\\T\\Setup.inf"}}));
}

TEST(InstalledFilesSection, LinesTheMediumCarriedKeepTheirPlacesAndSurplusEntriesStay) {
  const install::ProfileLines medium = {
      {"1", "alt1"}, {"COUNT", "9"}, {"Notiz", "bleibt"}, {"3", "alt3"}, {"1", "zweite"}};
  EXPECT_EQ(install::InstalledFilesSection(medium, {"C:\\T\\a.txt"}, "C:\\T\\Setup.inf"),
            (install::ProfileLines{{"1", "C:\\T\\Setup.inf"},
                                   {"COUNT", "2"},
                                   {"Notiz", "bleibt"},
                                   {"3", "alt3"},
                                   {"1", "zweite"},
                                   {"0", "C:\\T\\a.txt"}}));
}
