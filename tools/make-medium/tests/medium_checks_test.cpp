// The medium's checks, each fed a bad input (and, where the rule has a twin, the good one).
#include "medium_checks.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "image_files.h"

using namespace medium;

namespace {

std::string Text(const art::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The findings, one line each, for comparing whole.
std::vector<std::string> Lines(const Findings& findings) {
  std::vector<std::string> lines;
  for (const Finding& f : findings.All()) lines.push_back(Describe(f));
  return lines;
}

MediumContents Contents() {
  MediumContents c;
  c.payload = {FoldedName("talv20.exe"), FoldedName("hilfe\\hilfe.txt")};
  c.rootFiles[FoldedName("german.lng")] = "[Misc]\r\n";
  c.rootFiles[FoldedName("logo.bmp")] = Text(art::encodeBmp24(art::Image(4, 3)));
  c.rootFiles[FoldedName("broken.jpg")] = "\xFF\xD8 no jpeg";
  return c;
}

std::vector<std::string> SetupInfFindings(const std::string& text) {
  Findings findings;
  CheckSetupInf(text, Contents(), findings);
  return Lines(findings);
}

}  // namespace

TEST(SetupInfCheck, KnownSectionsAndKeysMatchWithoutRegardToCaseAndNameTheMediumsFiles) {
  EXPECT_EQ(SetupInfFindings("[program]\r\nPROGRAMNAME=Talvenor\r\n[Setup]\r\nBackground=logo.BMP\r\n"
                             "[uninstall]\r\nDisplayVersion=2.0\r\nPublisher=Talvenor\r\n"
                             "[Defaults]\r\nfirstpage=German.lng\r\n[GroupEntries]\r\nHilfe=HILFE\\hilfe.txt\r\n"
                             "Ordner=\r\n[Autostart]\r\nExeString=Talv20.exe /sleep\r\nDescription=Talvenor\r\n"),
            std::vector<std::string>{});
}

TEST(SetupInfCheck, UnknownSectionIsAnErrorAndUnknownKeyAWarning) {
  EXPECT_EQ(SetupInfFindings("[Autostrat]\r\nExeString=talv20.exe\r\n[Group]\r\nGroupName=T\r\nGruopname=T\r\n"),
            (std::vector<std::string>{
                "error: Setup.inf: [Autostrat]: setup knows no section of this name",
                "warning: Setup.inf: [Group] Gruopname: setup knows no key of this name here (misspelt?)"}));
}

TEST(SetupInfCheck, GroupEntriesAndAutostartMustNameFilesOfThePayload) {
  EXPECT_EQ(
      SetupInfFindings("[GroupEntries]\r\nTalvenor=talv21.exe\r\n[Autostart]\r\nExeString=talv2.exe /sleep\r\n"
                       "Description=Talvenor\r\n"),
      (std::vector<std::string>{
          "error: Setup.inf: [GroupEntries] Talvenor: names \"talv21.exe\", which is not in the payload",
          "error: Setup.inf: [Autostart] ExeString: names the program \"talv2.exe\", which is not in the payload"}));
}

TEST(SetupInfCheck, ValuesUsedAsPathsMustStayWhereTheyBelong) {
  EXPECT_EQ(SetupInfFindings("[Uninstall]\r\nUnInstallEntry=\r\nUninstallString=..\\..\\ProgramData\\x.exe\r\n"
                             "[Group]\r\nGroupname=..\\Startup\r\n"),
            (std::vector<std::string>{
                "error: Setup.inf: [Uninstall] UnInstallEntry: \"\" must be a name below its folder or key (not empty, "
                "no drive, no \"..\")",
                "error: Setup.inf: [UnInstall] UninstallString: \"..\\..\\ProgramData\\x.exe\" must be a plain file "
                "name (no folder, \"..\" or drive)",
                "error: Setup.inf: [Group] Groupname: \"..\\Startup\" must be a name below its folder or key (no "
                "drive, no \"..\")"}));
}

TEST(SetupInfCheck, PictureKeysMustNameDecodablePicturesOfTheMedium) {
  EXPECT_EQ(SetupInfFindings("[Setup]\r\nSetupImage1=missing.bmp\r\nSetupImage2=broken.jpg\r\n"),
            (std::vector<std::string>{
                "error: Setup.inf: [Setup] SetupImage1: names \"missing.bmp\", which is not a file of the medium "
                "(give it with --picture)",
                "error: broken.jpg: [Setup] SetupImage2: does not decode as JPEG (expected marker)"}));
}

TEST(SetupInfCheck, DefaultLanguageThatIsNotOnTheMediumIsAWarning) {
  EXPECT_EQ(SetupInfFindings("[Defaults]\r\nfirstpage=english.lng\r\n"),
            std::vector<std::string>{"warning: Setup.inf: [Defaults] firstpage: names \"english.lng\", which is "
                                     "not a language file of the medium"});
}

TEST(LanguageFileCheck, SectionsMustNameFormsAndEveryLineMustBeRead) {
  Findings findings;
  CheckLanguageFile("english.lng",
                    "stray\r\n[Form2]\r\nForm2.Caption=Setup\r\nno equals sign\r\nCaption=x\r\n[Form9]\r\n"
                    "[misc]\r\ninstall_1=Welcome\r\n[Misc]\r\n",
                    findings);
  EXPECT_EQ(
      Lines(findings),
      (std::vector<std::string>{
          "error: english.lng: line 1: stands before the first section", "error: english.lng: line 4: has no \"=\"",
          "warning: english.lng: [Form2] Caption: does not begin with \"Form2.\" and is never read",
          "error: english.lng: [Form9]: names no form: the sections are Form1 to Form8 and Misc",
          "error: english.lng: [Misc]: the section comes twice; setup reads only the first"}));
}

TEST(LanguageFileCheck, OnlyLngFilesAreListedAndANulByteEndsTheText) {
  Findings findings;
  CheckLanguageFile("english.txt", std::string("[Misc]\r\ninstall_1=A\0B\r\n", 22), findings);
  EXPECT_EQ(Lines(findings),
            (std::vector<std::string>{"error: english.txt: setup lists only language files named *.lng",
                                      "error: english.txt: holds a NUL byte; setup reads no further"}));
}

TEST(PictureCheck, EachTypeDecodesAsItsExtensionSays) {
  const art::Image image(8, 6, art::rgb(200, 30, 30));
  const std::string bmp = Text(art::encodeBmp24(image));
  const std::string ico = Text(art::encodeIco16(image));
  const std::string jpg = Text(art::encodeJpeg(image, 90));
  // A placeable metafile: key, 18 bytes, then the standard 18-byte header.
  std::string wmf("\xD7\xCD\xC6\x9A", 4);
  wmf += std::string(18, '\0') + std::string("\x01\x00\x09\x00\x00\x03", 6) + std::string(12, '\0');
  std::string emf(88, '\0');
  emf[0] = 1;
  emf.replace(40, 4, " EMF");
  emf[48] = 88;

  Findings good;
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"a.bmp", bmp}, {"a.ico", ico}, {"a.jpg", jpg}, {"a.JPEG", jpg}, {"a.wmf", wmf}, {"a.emf", emf}})
    CheckPicture(name, "[Setup] Background", bytes, good);
  EXPECT_EQ(Lines(good), std::vector<std::string>{});

  Findings bad;
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{{"a.bmp", jpg},
                                                                                    {"a.ico", bmp},
                                                                                    {"a.jpg", bmp},
                                                                                    {"a.wmf", emf},
                                                                                    {"a.emf", wmf},
                                                                                    {"a.png", bmp},
                                                                                    {"cut.bmp", bmp.substr(0, 20)},
                                                                                    {"cut.ico", ico.substr(0, 30)},
                                                                                    {"short.ico", ico.substr(0, 12)}})
    CheckPicture(name, "[Setup] Background", bytes, bad);
  EXPECT_EQ(Lines(bad),
            (std::vector<std::string>{
                "error: a.bmp: [Setup] Background: is no bitmap (no \"BM\" header)",
                "error: a.ico: [Setup] Background: is no icon (no icon header)",
                "error: a.jpg: [Setup] Background: does not decode as JPEG (unknown image type)",
                "error: a.wmf: [Setup] Background: is no Windows metafile (no metafile header)",
                "error: a.emf: [Setup] Background: is no enhanced metafile (no EMF header)",
                "error: a.png: [Setup] Background: has an extension setup loads no picture from (bmp, ico, wmf, emf, "
                "jpg, jpeg)",
                "error: cut.bmp: [Setup] Background: is no bitmap (no \"BM\" header)",
                "error: cut.ico: [Setup] Background: has an image outside the file",
                "error: short.ico: [Setup] Background: is cut short in its directory"}));
}

TEST(PayloadNameCheck, NamesMustBeValidWindowsNamesInWindows1252AndDifferBeyondLetterCase) {
  std::set<std::string> payload;
  Findings findings;
  CheckPayloadNames(
      {"Klingelt\xC3\xB6ne/ring.mid", "logos/aux.bmp", "liesmich.txt.", "hilfe /a.txt", "a?b.txt", "back\\slash.txt",
       "\xE2\x82\xAC.txt", "\xE6\x97\xA5.txt", "LIESMICH.TXT", "liesmich.txt", "Logos", "logos/netz.bmp"},
      payload, findings);
  EXPECT_EQ(
      Lines(findings),
      (std::vector<std::string>{
          "error: payload: logos/aux.bmp: \"aux.bmp\" is no valid Windows name: it is a device name",
          "error: payload: liesmich.txt.: \"liesmich.txt.\" is no valid Windows name: it ends in a dot or a blank",
          "error: payload: hilfe /a.txt: \"hilfe \" is no valid Windows name: it ends in a dot or a blank",
          "error: payload: a?b.txt: \"a?b.txt\" is no valid Windows name: it holds one of the characters < > \" | "
          "? * :",
          "error: payload: back\\slash.txt: \"back\\slash.txt\" is no valid Windows name: it holds a backslash",
          "error: payload: \xE6\x97\xA5.txt: the name has characters outside Windows-1252; setup could not record it",
          "error: payload: liesmich.txt: differs from \"LIESMICH.TXT\" only in letter case; Windows takes them for "
          "one file",
          "error: payload: logos/netz.bmp: needs a folder named like the file \"Logos\""}));
  // The umlaut and the euro sign are in Windows-1252.
  EXPECT_EQ(payload.count(FoldedName("klingelt\xF6ne\\RING.MID")), 1u);
  EXPECT_EQ(payload.count(FoldedName("\x80.txt")), 1u);
}

TEST(PayloadNameCheck, FolderEntriesAreCheckedAsNamesButNotCountedAsFiles) {
  std::set<std::string> payload;
  Findings findings;
  CheckPayloadNames({"Ablage/", "Ablage/Leer/", "leer.txt", "LEER.TXT/", "Con/", "t\xC3\xB6ne/", "t\xC3\x96NE/"},
                    payload, findings);
  EXPECT_EQ(Lines(findings),
            (std::vector<std::string>{
                "error: payload: Con: \"Con\" is no valid Windows name: it is a device name",
                "error: payload: t\xC3\x96NE: differs from \"t\xC3\xB6ne\" only in letter case; Windows takes them for "
                "one file",
                "error: payload: LEER.TXT: needs a folder named like the file \"leer.txt\""}));
  EXPECT_EQ(payload, std::set<std::string>{FoldedName("leer.txt")});
}
