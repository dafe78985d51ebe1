// The archive component's properties and its directory listing, under Wine.
#include <gtest/gtest.h>

#include <windows.h>
#include <zlib.h>

#include "ZipArchive.h"
#include "application.h"
#include "drive_check.h"
#include "files.h"
#include "name_conversion.h"
#include "win_test_support.h"
#include "zip_format.h"
#include "zip_messages.h"

using namespace ziptest;

namespace {

// A component that shows no boxes, with its events recorded.
struct Fixture {
  Fixture() : zip(nullptr) { log.Attach(zip); }
  TZipArchive zip;
  EventLog log;
};

// Offset of central entry `index` of a single-file archive.
size_t CentralEntryAt(const Bytes& archive, size_t index) {
  const auto end = zipfmt::FindEndRecord(archive.data(), archive.size(), archive.size());
  size_t at = end.record.directoryOffset;
  for (size_t i = 0; i < index; ++i)
    at += zipfmt::kCentralHeaderSize + zipfmt::Get16(&archive[at + zipfmt::central::kNameLen]) +
          zipfmt::Get16(&archive[at + zipfmt::central::kExtraLen]) +
          zipfmt::Get16(&archive[at + zipfmt::central::kCommentLen]);
  return at;
}

void SetMadeBy(Bytes& archive, size_t index, uint8_t host, uint8_t spec) {
  const size_t at = CentralEntryAt(archive, index);
  archive[at + 4] = spec;
  archive[at + 5] = host;
}

void SetFlags(Bytes& archive, size_t index, uint16_t flags) {
  const size_t at = CentralEntryAt(archive, index) + zipfmt::central::kFlags;
  archive[at] = uint8_t(flags);
  archive[at + 1] = uint8_t(flags >> 8);
}

// A Unicode Path extra field naming an entry stored as `storedName` `utf8`.
std::string UnicodePathField(const std::string& storedName, const std::string& utf8) {
  const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(storedName.data()), uInt(storedName.size())));
  std::string field = {'\x75', '\x70', char(5 + utf8.size()), '\0', '\1'};
  for (int shift = 0; shift < 32; shift += 8) field += char(crc >> shift);
  return field + utf8;
}

}  // namespace

TEST(TZipArchive, ValuesAfterConstruction) {
  TZipArchive zip(nullptr);
  EXPECT_EQ(zip.Name(), "ZipArchive1");
  EXPECT_EQ(zip.GetKind(), forms::Kind::Custom);
  EXPECT_FALSE(zip.Verbose);
  EXPECT_FALSE(zip.Trace);
  EXPECT_EQ(zip.AddCompLevel, 9);
  EXPECT_TRUE(zip.AddOptions.Empty());
  EXPECT_EQ(zip.ExtrBaseDir, "");
  EXPECT_TRUE(zip.ExtrOptions.Empty());
  EXPECT_EQ(zip.SFXOptions, SFXOpts{SFXCheckSize});
  EXPECT_TRUE(zip.FSpecArgs().empty());
  EXPECT_TRUE(zip.Unattended);
  EXPECT_EQ(zip.ZipFilename(), "");
  EXPECT_EQ(zip.Password(), "");
  EXPECT_EQ(zip.SFXPath, "SfxStub.bin");
  EXPECT_EQ(zip.DLLDirectory(), "");
  EXPECT_EQ(zip.SFXOverWriteMode, OvrConfirm);
  EXPECT_EQ(zip.SFXCaption, "Self-extracting Archive");
  EXPECT_EQ(zip.SFXDefaultDir, "");
  EXPECT_EQ(zip.SFXCommandLine, "");
  EXPECT_EQ(zip.TempDir, "");
  EXPECT_EQ(zip.KeepFreeOnDisk1, 0);
  EXPECT_EQ(zip.MaxVolumeSize, 0);
  EXPECT_EQ(zip.MinFreeVolumeSize, 65536);
  EXPECT_TRUE(zip.ConfirmErase);
  EXPECT_EQ(zip.CodePage, cpAuto);
  EXPECT_EQ(zip.HowToDelete, htdAllowUndo);
  EXPECT_EQ(zip.VersionInfo(), "1.52 K");
  EXPECT_FALSE(zip.OnDirUpdate || zip.OnProgress || zip.OnMessage);
  EXPECT_EQ(zip.ErrCode(), 0);
  EXPECT_EQ(zip.SuccessCount(), 0);
  EXPECT_EQ(zip.TotalSize(), 0);
  EXPECT_FALSE(zip.Busy());
  EXPECT_FALSE(zip.Cancel);
  EXPECT_TRUE(zip.Entries().empty());
  EXPECT_EQ(zip.OwnerWindow(), forms::Application::Instance().MainWindow());
  EXPECT_EQ(sizeof(AddOpts), 2u);
}

TEST(TZipArchive, PropertySetters) {
  TZipArchive zip(nullptr);
  zip.SetVersionInfo("9.99");
  EXPECT_EQ(zip.VersionInfo(), "1.52 K");

  zip.SetDLLDirectory("C:\\Medium\\");
  EXPECT_EQ(zip.DLLDirectory(), "C:\\Medium");
  zip.SetDLLDirectory("C:\\Medium\\\\");
  EXPECT_EQ(zip.DLLDirectory(), "C:\\Medium\\");  // only one backslash goes
  zip.SetDLLDirectory("");
  EXPECT_EQ(zip.DLLDirectory(), "");

  zip.SetPassword(std::string(300, 'p'));
  EXPECT_EQ(zip.Password().size(), 255u);

  std::vector<std::string> specs{"*.*", "readme.txt"};
  zip.SetFSpecArgs(specs);
  specs.clear();
  EXPECT_EQ(zip.FSpecArgs(), (std::vector<std::string>{"*.*", "readme.txt"}));
}

TEST(TZipArchive, ListsAnArchiveWithCommentAndBackslashNames) {
  TempFolder dir;
  spantest::SetOptions options;
  options.archiveComment = "Talvenor Installationsarchiv";
  WriteBytes(dir / "Setup.zip", spantest::BuildSingleArchive(
                                    {Member("readme.txt", 10), Member("sub/dir/logo.bmp", 2000, "Logo")}, options));
  Fixture f;
  f.zip.SetZipFilename(dir / "Setup.zip");
  ASSERT_EQ(f.zip.Entries().size(), 2u);
  EXPECT_EQ(f.zip.Entries()[0].fileName, "readme.txt");
  EXPECT_EQ(f.zip.Entries()[1].fileName, "sub\\dir\\logo.bmp");
  EXPECT_EQ(f.zip.Entries()[1].fileComment, "Logo");
  EXPECT_EQ(f.zip.Entries()[1].uncompressedSize, 2000u);
  EXPECT_EQ(f.zip.Entries()[1].fileNameLength, 16);
  EXPECT_EQ(f.zip.ArchiveComment(), "Talvenor Installationsarchiv");
  EXPECT_EQ(f.zip.SfxOffset(), 0);
  EXPECT_EQ(f.zip.EndDiskNumber(), 0);
  EXPECT_FALSE(f.zip.IsSpanned());
  EXPECT_EQ(f.zip.ZipFilename(), dir / "Setup.zip");
  EXPECT_EQ(f.log.dirUpdates, 1);
  EXPECT_TRUE(f.log.messages.empty());
}

TEST(TZipArchive, MissingFileListsNothingWithoutMessage) {
  TempFolder dir;
  Fixture f;
  f.zip.SetZipFilename(dir / "nowhere.zip");
  EXPECT_TRUE(f.zip.Entries().empty());
  EXPECT_TRUE(f.log.messages.empty());
  EXPECT_EQ(f.log.dirUpdates, 1);
  EXPECT_EQ(f.zip.ZipFilename(), dir / "nowhere.zip");
}

TEST(TZipArchive, NoArchiveReports11036ClearsTheNameAndExtractReports10102) {
  TempFolder dir;
  WriteBytes(dir / "Setup.zip", Bytes(3000, 'x'));
  Fixture f;
  f.zip.SetZipFilename(dir / "Setup.zip");
  EXPECT_EQ(f.zip.ErrCode(), zipmsg::kNotAnArchive);
  EXPECT_EQ(f.zip.Message(), "Dieses Archiv ist keine g\xFCltiges ZIP-Archiv");
  ASSERT_EQ(f.log.messages.size(), 1u);
  EXPECT_EQ(f.log.messages[0], std::make_pair(0, f.zip.Message()));
  EXPECT_EQ(f.zip.ZipFilename(), "");
  EXPECT_EQ(f.zip.SfxOffset(), 0);
  EXPECT_EQ(f.log.dirUpdates, 1);

  f.zip.SetFSpecArgs({"*.*"});
  f.zip.Extract();
  EXPECT_EQ(f.zip.ErrCode(), zipmsg::kNoArchiveFile);
  EXPECT_EQ(f.zip.Message(), "Fehler - keine Archivdatei angegeben !");
  EXPECT_EQ(f.log.messages.back().second, f.zip.Message());
  EXPECT_EQ(f.zip.SuccessCount(), 0);
}

TEST(TZipArchive, WarningsLeaveTheListing) {
  TempFolder dir;
  // A stub put in front without adjusting the offsets, and data after the end record.
  Bytes stubbed = spantest::BuildSingleArchive({Member("a.txt", 5)});
  stubbed.insert(stubbed.begin(), 100, 'S');
  stubbed.resize(stubbed.size() + 40, 'T');
  WriteBytes(dir / "sfx.exe", stubbed);
  Fixture f;
  f.zip.SetZipFilename(dir / "sfx.exe");
  ASSERT_EQ(f.log.messages.size(), 2u);
  EXPECT_EQ(f.log.messages[0].second.substr(0, 7), "Warnung");  // 10204, then 10203
  EXPECT_EQ(f.zip.ErrCode(), zipmsg::kStructureWarning);
  EXPECT_TRUE(f.zip.StructureWarning());
  EXPECT_EQ(f.zip.SfxOffset(), 100);
  EXPECT_EQ(f.zip.Entries().size(), 1u);
  EXPECT_EQ(f.zip.ZipFilename(), dir / "sfx.exe");
}

TEST(TZipArchive, EmptyArchiveOfTwentyTwoBytes) {
  TempFolder dir;
  WriteBytes(dir / "empty.zip", spantest::BuildSingleArchive({}));
  Fixture f;
  f.zip.SetZipFilename(dir / "empty.zip");
  EXPECT_TRUE(f.zip.Entries().empty());
  EXPECT_EQ(f.zip.SfxOffset(), 0);
  EXPECT_TRUE(f.log.messages.empty());
}

TEST(TZipArchive, DamagedDirectoryReportsItsIdAndKeepsWhatWasRead) {
  TempFolder dir;
  Bytes archive = spantest::BuildSingleArchive({Member("a.txt", 5), Member("b.txt", 5)});
  const auto end = zipfmt::FindEndRecord(archive.data(), archive.size(), archive.size());
  const size_t second = end.record.directoryOffset + zipfmt::kCentralHeaderSize + 5;
  archive[second] = 'X';
  WriteBytes(dir / "bad.zip", archive);
  Fixture f;
  f.zip.SetZipFilename(dir / "bad.zip");
  EXPECT_EQ(f.zip.ErrCode(), zipmsg::kCentralSignature);
  EXPECT_EQ(f.zip.ZipFilename(), "");
  EXPECT_EQ(f.zip.SfxOffset(), 0);
  ASSERT_EQ(f.zip.Entries().size(), 1u);
  EXPECT_EQ(f.zip.Entries()[0].fileName, "a.txt");
}

TEST(TZipArchive, LoadingFromADescriptionDoesNotList) {
  TempFolder dir;
  WriteBytes(dir / "Setup.zip", Bytes(100, 'x'));
  Fixture f;
  f.zip.SetLoading(true);
  f.zip.SetZipFilename(dir / "Setup.zip");
  EXPECT_EQ(f.zip.ZipFilename(), dir / "Setup.zip");
  EXPECT_TRUE(f.log.messages.empty());
  EXPECT_EQ(f.log.dirUpdates, 0);
  f.zip.List();
  EXPECT_EQ(f.log.dirUpdates, 0);
  f.zip.SetLoading(false);
  f.zip.List();
  EXPECT_EQ(f.zip.ErrCode(), zipmsg::kNotAnArchive);
}

TEST(TZipArchive, OemNamesAreConvertedByHostSystem) {
  TempFolder dir;
  // "Gr\x81\xE1" is "Grüß" in the OEM code page 437 (and 850).
  Bytes archive = spantest::BuildSingleArchive({Member("Gr\x81\xE1"
                                                       "e.txt",
                                                       3, "\x84"),
                                                Member("Gr\x81\xE1"
                                                       "e2.txt",
                                                       3),
                                                Member("Gr\x81\xE1"
                                                       "e3.txt",
                                                       3),
                                                Member("Gr\x81\xE1"
                                                       "e4.txt",
                                                       3)});
  SetMadeBy(archive, 0, 0, 20);   // FAT
  SetMadeBy(archive, 1, 3, 20);   // Unix: left alone
  SetMadeBy(archive, 2, 11, 50);  // NTFS by a 5.0 writer
  SetMadeBy(archive, 3, 11, 20);
  WriteBytes(dir / "oem.zip", archive);
  Fixture f;
  f.zip.SetZipFilename(dir / "oem.zip");
  ASSERT_EQ(f.zip.Entries().size(), 4u);
  EXPECT_EQ(f.zip.Entries()[0].fileName,
            "Gr\xFC\xDF"
            "e.txt");
  EXPECT_EQ(f.zip.Entries()[0].fileComment, "\xE4");
  EXPECT_EQ(f.zip.Entries()[1].fileName,
            "Gr\x81\xE1"
            "e2.txt");
  EXPECT_EQ(f.zip.Entries()[2].fileName,
            "Gr\xFC\xDF"
            "e3.txt");
  EXPECT_EQ(f.zip.Entries()[3].fileName,
            "Gr\x81\xE1"
            "e4.txt");

  f.zip.CodePage = cpNone;
  f.zip.List();
  EXPECT_EQ(f.zip.Entries()[0].fileName,
            "Gr\x81\xE1"
            "e.txt");
  f.zip.CodePage = cpOEM;
  f.zip.List();
  EXPECT_EQ(f.zip.Entries()[1].fileName,
            "Gr\xFC\xDF"
            "e2.txt");
}

// The names that the unzip library installs: UTF-8 by the flag, whatever the host and
// CodePage; the name of a valid Unicode Path field; one made for another name is ignored.
TEST(TZipArchive, Utf8NamesAndUnicodePathFieldsAreListedInTheAnsiCodePage) {
  TempFolder dir;
  const std::string oemName = "Ruft\x94ne/Melodie \x8E.mid";
  spantest::Member unicodePath = Member(oemName, 3);
  unicodePath.extra = UnicodePathField(oemName, "Ruft\xC3\xB6ne/Unicode \xC3\x84.mid");
  spantest::Member renamed = Member("renamed.txt", 3);
  renamed.extra = UnicodePathField("before.txt", "before.txt");
  Bytes archive = spantest::BuildSingleArchive(
      {Member("Ruft\xC3\xB6ne/Melodie \xC3\x84.mid", 3, "\xC3\xA4"), unicodePath, renamed});
  SetFlags(archive, 0, zipfmt::kFlagUtf8);
  SetMadeBy(archive, 0, 0, 20);  // FAT: the flag wins over the OEM code page
  SetMadeBy(archive, 1, 0, 20);
  WriteBytes(dir / "utf8.zip", archive);
  Fixture f;
  for (CodePageOpts codePage : {cpAuto, cpNone, cpOEM}) {
    f.zip.CodePage = codePage;
    f.zip.SetZipFilename(dir / "utf8.zip");
    ASSERT_EQ(f.zip.Entries().size(), 3u);
    EXPECT_EQ(f.zip.Entries()[0].fileName, "Ruft\xF6ne\\Melodie \xC4.mid") << codePage;
    EXPECT_EQ(f.zip.Entries()[0].fileComment, "\xE4") << codePage;
    EXPECT_EQ(f.zip.Entries()[1].fileName, "Ruft\xF6ne\\Unicode \xC4.mid") << codePage;
    EXPECT_EQ(f.zip.Entries()[2].fileName, "renamed.txt") << codePage;
  }
}

TEST(CheckDrive, UnknownAndAbsentDrives) {
  try {
    ziparchive::CheckDrive("1:\\", false);
    ADD_FAILURE() << "a digit is no drive";
  } catch (const EZipArchive& e) {
    EXPECT_EQ(e.MessageId, zipmsg::kUnknownDrive);
    EXPECT_STREQ(e.what(), "Unbekanntes Laufwerk: 1:\\");
  }
  const DWORD drives = ::GetLogicalDrives();
  char absent = 0;
  for (char letter = 'Z'; letter >= 'D' && !absent; --letter)
    if (!(drives & (1u << (letter - 'A')))) absent = letter;
  ASSERT_NE(absent, 0);
  const std::string root = std::string(1, absent) + ":\\";
  try {
    ziparchive::CheckDrive(root, false);
    ADD_FAILURE() << "drive " << root << " is absent";
  } catch (const EZipArchive& e) {
    EXPECT_EQ(e.MessageId, zipmsg::kDriveNotReady);
    EXPECT_EQ(std::string(e.what()), "Laufwerk " + root + " ist nicht verf\xFCgbar");
  }
  EXPECT_NO_THROW(ziparchive::CheckDrive(ziparchive::DriveRoot(platform::TempFolder()), false));
}

TEST(DriveRoot, LettersAndNetworkNames) {
  EXPECT_EQ(ziparchive::DriveRoot("C:\\Medium\\Setup.zip"), "C:\\");
  EXPECT_EQ(ziparchive::DriveRoot("d:\\setup.ins"), "d:\\");
  EXPECT_EQ(ziparchive::DriveRoot("\\\\server\\share\\dir\\Setup.zip"), "\\\\server\\share\\");
}
