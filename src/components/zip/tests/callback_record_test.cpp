#include "callback_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "unzip_abi.h"

using namespace zipcore;

TEST(DecodeCallbackRecord, ReadsEveryFieldAtItsOffset) {
  std::vector<uint8_t> record(unzipabi::record::kRecordSize, 0xEE);
  unzipabi::PutI32(&record[4], 0x00C0FFEE);
  unzipabi::PutI32(&record[16], 1);
  unzipabi::PutI32(&record[20], 0x1234);
  unzipabi::PutI32(&record[24], -5);
  std::memcpy(&record[28], "dir/file.txt", 13);
  const CallbackEvent e = DecodeCallbackRecord(record.data());
  EXPECT_EQ(e.caller, 0x00C0FFEEu);
  EXPECT_EQ(e.action, 1);
  EXPECT_EQ(e.errorCode, 0x1234);
  EXPECT_EQ(e.size, -5);
  EXPECT_EQ(e.text, "dir/file.txt");
}

TEST(DecodeCallbackRecord, TextWithoutTerminatorStopsAtTheFieldEnd) {
  std::vector<uint8_t> record(unzipabi::record::kRecordSize, 'x');
  const CallbackEvent e = DecodeCallbackRecord(record.data());
  EXPECT_EQ(e.text, std::string(512, 'x'));
}

TEST(CleanLibraryMessage, TrailingBlanksAndControlsGoSlashesTurn) {
  EXPECT_EQ(CleanLibraryMessage("Fehler in a/b.txt  \r\n\t "), "Fehler in a\\b.txt");
  EXPECT_EQ(CleanLibraryMessage("  lead stays"), "  lead stays");
  EXPECT_EQ(CleanLibraryMessage("\r\n"), "");
  EXPECT_EQ(CleanLibraryMessage("Gr\xFC\xDF"
                                "e"),
            "Gr\xFC\xDF"
            "e");  // letters above 0x7F stay
}

TEST(PasswordPlaceholder, SeventyNinePrintableCharactersAlwaysTheSame) {
  const std::string p = PasswordPlaceholder();
  ASSERT_EQ(p.size(), 79u);
  for (char c : p) EXPECT_TRUE(c > ' ' && c < 127) << int(c);
  EXPECT_EQ(p, PasswordPlaceholder());
  EXPECT_NE(p.find_first_not_of(p[0]), std::string::npos);
}
