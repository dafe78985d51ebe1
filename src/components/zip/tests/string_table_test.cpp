// The string table linked into the program, read back through LoadStringA.
#include <gtest/gtest.h>

#include "string_table.h"
#include "zip_archive_error.h"
#include "zip_messages.h"

using namespace ziparchive;

TEST(StringTable, GermanTextsComeBackInCodePage1252) {
  EXPECT_EQ(MessageText(zipmsg::kNoArchiveFile), "Fehler - keine Archivdatei angegeben !");
  // "ü" as the single byte 0xFC, as an ANSI window shows it.
  EXPECT_EQ(MessageText(zipmsg::kDriveNotReady), "Laufwerk %s ist nicht verf\xFCgbar");
  EXPECT_EQ(MessageText(zipmsg::kNotAnArchive), "Dieses Archiv ist keine g\xFCltiges ZIP-Archiv");
  EXPECT_EQ(MessageText(zipmsg::kInDrive), "\nin Laufwerk: %s");
  EXPECT_EQ(MessageText(zipmsg::kLibraryFailure), "Fataler Fehler in UNZIPLIB.DLL: Abbruch");
  EXPECT_EQ(MessageText(zipmsg::kLibraryNotFound), "UNZIPLIB.DLL nicht gefunden !");
}

TEST(StringTable, EveryIdTheComponentAndTheJoinUseHasAText) {
  const int ids[] = {10102, 10103, 10201, 10202, 10203, 10204, 10501, 10502, 10701, 10702, 10703, 10704,
                     11001, 11003, 11004, 11007, 11008, 11009, 11012, 11013, 11014, 11015, 11016, 11017,
                     11018, 11019, 11020, 11021, 11022, 11023, 11024, 11025, 11026, 11027, 11028, 11029,
                     11030, 11031, 11033, 11034, 11035, 11036, 11037, 11038, 11045};
  for (int id : ids) {
    std::string text;
    EXPECT_TRUE(LoadMessage(id, text)) << id;
    EXPECT_FALSE(text.empty()) << id;
  }
}

TEST(StringTable, MissingIdGivesTheFallbackUnformatted) {
  const std::string expected = "Message resource is probably not bound to executable\nMissing String ID is: 10999";
  EXPECT_EQ(MessageText(10999), expected);
  EXPECT_EQ(FormattedMessage(10999, {"x"}), expected);
}

TEST(EZipArchive, ThreeConstructors) {
  const EZipArchive quiet(zipmsg::kUserCancel, false);
  EXPECT_STREQ(quiet.what(), "Abbruch der Operation durch den Benutzer");
  EXPECT_FALSE(quiet.ShowToUser);
  EXPECT_EQ(quiet.MessageId, zipmsg::kUserCancel);

  const EZipArchive number(zipmsg::kDiskHasNoEndRecord, 3);
  EXPECT_STREQ(number.what(), "Teil 3 enth\xE4lt nicht das Ende des Archivs");
  EXPECT_TRUE(number.ShowToUser);

  const EZipArchive text(zipmsg::kUnknownDrive, "1:\\");
  EXPECT_STREQ(text.what(), "Unbekanntes Laufwerk: 1:\\");
  EXPECT_TRUE(text.ShowToUser);
  EXPECT_EQ(text.MessageId, zipmsg::kUnknownDrive);

  const EZipArchive missing(10998, 5);
  EXPECT_STREQ(missing.what(), "Message resource is probably not bound to executable\nMissing String ID is: 10998");
}
