#include "folder_label.h"

#include <gtest/gtest.h>

using wizard::JoinFolderAndName;
using wizard::ShortenFolderLabel;

namespace {

// A path of exactly `length` characters that ends in a backslash: "C:\" and folders of
// nine letters.
std::string PathOfLength(size_t length) {
  std::string path = "C:\\";
  while (path.size() < length) path += (length - path.size()) % 10 == 0 ? '\\' : 'a';
  path.back() = '\\';
  return path;
}

}  // namespace

TEST(FolderLabel, ShowsPathsUpTo29CharactersWholeAndShortensFrom30) {
  const std::string p29 = PathOfLength(29), p30 = PathOfLength(30);
  ASSERT_EQ(p29.size(), 29u);
  ASSERT_EQ(p30.size(), 30u);
  EXPECT_EQ(ShortenFolderLabel(p29), p29);
  const std::string label = ShortenFolderLabel(p30);
  EXPECT_NE(label, p30);
  EXPECT_EQ(label.substr(0, 7), "C:\\...\\");
}

TEST(FolderLabel, AddsTheMissingBackslashBeforeCounting) {
  EXPECT_EQ(ShortenFolderLabel("C:\\Test"), "C:\\Test\\");
  // 28 characters plus the backslash: still whole.
  const std::string p28 = PathOfLength(29).substr(0, 28);
  EXPECT_EQ(ShortenFolderLabel(p28), p28 + "\\");
  // 29 characters plus the backslash: shortened.
  const std::string p29 = PathOfLength(30).substr(0, 29);
  EXPECT_EQ(ShortenFolderLabel(p29).substr(0, 7), "C:\\...\\");
  // 31 characters plus the backslash leave a rest of 29: nothing is dropped.
  EXPECT_EQ(ShortenFolderLabel("C:\\Programme\\Talvenor\\Datenbank"), "C:\\...\\Programme\\Talvenor\\Datenbank\\");
}

TEST(FolderLabel, DropsLeadingFolderNamesUntilTheRestIsShorterThan30) {
  EXPECT_EQ(ShortenFolderLabel("C:\\Programme\\Talvenor\\Daten\\Archiv\\"), "C:\\...\\Talvenor\\Daten\\Archiv\\");
  // Several names have to go: the rest keeps only what fits below 30 characters.
  EXPECT_EQ(ShortenFolderLabel("D:\\eins\\zwei\\drei\\vier\\fuenf\\sechs\\sieben\\acht\\"),
            "D:\\...\\vier\\fuenf\\sechs\\sieben\\acht\\");
  // A rest of exactly 29 characters stays as it is.
  const std::string label = ShortenFolderLabel("C:\\x\\" + PathOfLength(32).substr(3));
  EXPECT_EQ(label.size(), 7u + 29u);
}

TEST(FolderLabel, ALastFolderNameOf30OrMoreCharactersEndsTheLoopAndIsCut) {
  const std::string longName(40, 'n');
  const std::string label = ShortenFolderLabel("C:\\Programme\\" + longName);
  EXPECT_EQ(label, "C:\\...\\..." + std::string(25, 'n') + "\\");
  EXPECT_LE(label.size(), 36u);
  // A name of exactly 29 characters with its backslash makes a rest of 30.
  const std::string name29(29, 'm');
  EXPECT_EQ(ShortenFolderLabel("C:\\a\\" + name29 + "\\"), "C:\\...\\..." + std::string(25, 'm') + "\\");
  // Without any folder before it the name is cut the same way.
  EXPECT_EQ(ShortenFolderLabel("C:\\" + longName + "\\"), "C:\\...\\..." + std::string(25, 'n') + "\\");
}

TEST(FolderLabel, NeverExceeds36CharactersAndAlwaysStartsWithTheDrivePart) {
  for (size_t length = 30; length < 300; length += 7) {
    std::string path = "E:\\";
    for (size_t i = 0; path.size() < length; ++i) path += (i % 13 == 12) ? '\\' : char('a' + i % 26);
    const std::string label = ShortenFolderLabel(path);
    EXPECT_LE(label.size(), 36u) << path;
    EXPECT_EQ(label.substr(0, 7), "E:\\...\\") << path;
    EXPECT_EQ(label.back(), '\\') << path;
  }
  // A path of backslashes alone loses one character per round and still ends.
  EXPECT_EQ(ShortenFolderLabel("C:\\" + std::string(40, '\\')), "C:\\...\\" + std::string(29, '\\'));
}

TEST(FolderLabel, AnEmptyPathGivesAnEmptyLabel) { EXPECT_EQ(ShortenFolderLabel(""), ""); }

TEST(FolderLabel, ThePathEditJoinsFolderAndNameWithOneBackslash) {
  EXPECT_EQ(JoinFolderAndName("C:\\Programme", "Talvenor"), "C:\\Programme\\Talvenor");
  EXPECT_EQ(JoinFolderAndName("C:\\", "Talvenor"), "C:\\Talvenor");
  EXPECT_EQ(JoinFolderAndName("C:\\Programme", ""), "C:\\Programme\\");
  EXPECT_EQ(JoinFolderAndName("C:\\", ""), "C:\\");
}
