// The wizard as a user walks through it: language list, pages and their back buttons, the
// licence text, the default target folder and browsing for another one, the folder created on
// leaving the folder page, the start of the installation and every way to cancel.
#include "wizard_steps.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const char* const kWork = "C:\\talvenor-e2e-wizard";

// Entries of the installation run, of these tests' own: a walk that starts the run and ends
// setup late leaves them, never the default Talvenor ones.
const char kProgramKey[] = "Software\\TalvenorE2E-Wizard";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TalvenorE2E-Wizard";
const char kGroup[] = "TalvenorE2E Wizard";

std::string SetupInf(const std::string& sprache, const std::string& firstpage, const std::string& fixed) {
  return std::string("[Program]\r\nProgramname=Talvenor\r\nProgramEntry=") + kProgramKey +
         "\r\n\r\n[Defaults]\r\nSprache=" + sprache + "\r\nfirstpage=" + firstpage + "\r\nfixed=" + fixed +
         "\r\n\r\n[Uninstall]\r\nUnInstallEntry=TalvenorE2E-Wizard\r\n\r\n[Group]\r\nGroupname=" + kGroup + "\r\n";
}

std::string GroupFolder() { return ProgramsMenu() + "\\" + kGroup; }

// Removes what an installation run started by a walk may have written. Setup is ended first:
// declare it before the process.
struct RunTraces {
  RunTraces() = default;
  RunTraces(const RunTraces&) = delete;
  RunTraces& operator=(const RunTraces&) = delete;
  ~RunTraces() {
    RegDeleteTree(HKEY_LOCAL_MACHINE, kProgramKey);
    RegDeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    RemoveTree(GroupFolder());
  }
};

// The medium of the walks: both language files of the demo medium, a licence, setup.ini.
void LayOutMedium(const Medium& medium, const std::string& setupInf) {
  medium.Write("german.lng", ReadFile(SourceFile("medium\\german.lng")));
  medium.Write("english.lng", ReadFile(SourceFile("medium\\english.lng")));
  medium.Write("Licence.txt", "Lizenz des Tests\r\nZweite Zeile\r\n");
  medium.Write("setup.ini", "[Program]\r\nProgramname=Talvenor\r\n");
  medium.WriteSetupInf(setupInf);
}

// A folder of the test below C:\, removed with everything in it at the end.
class WorkFolder {
 public:
  WorkFolder() {
    RemoveTree(kWork);
    ::CreateDirectoryA(kWork, nullptr);
  }
  ~WorkFolder() { RemoveTree(kWork); }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
};

// A folder that the test may create: removed at the end unless it was there before.
class CreatedFolder {
 public:
  explicit CreatedFolder(std::string path) : path_(std::move(path)), existed_(FolderExists(path_)) {}
  ~CreatedFolder() {
    if (!existed_) RemoveTree(path_);
  }
  CreatedFolder(const CreatedFolder&) = delete;
  CreatedFolder& operator=(const CreatedFolder&) = delete;

 private:
  std::string path_;
  bool existed_;
};

HWND Label9(HWND wizard) { return FindChild(FindChild(wizard, "TGroupBox"), "Static"); }
HWND Memo(HWND wizard) { return FindChild(wizard, "Edit"); }

bool WaitText(HWND wnd, const std::string& text) {
  return WaitUntil([&] { return Text(wnd) == text; }, kWaitMs);
}

// The cancel confirmation is on top and the wizard stays where it was; "&Fortfahren" (or a
// close request while the dialog has no such button) takes it away again.
void ExpectCancelConfirmation(const Process& setup, HWND wizard, const std::string& page) {
  HWND confirmation = setup.WaitWindow("TForm3");
  ASSERT_NE(confirmation, nullptr) << "on page " << page;
  EXPECT_TRUE(Visible(wizard));
  EXPECT_EQ(VisiblePage(wizard), page);
  if (HWND goOn = FindChild(confirmation, "Button", "&Fortfahren"))
    Click(goOn);
  else
    PostClose(confirmation);
  EXPECT_TRUE(setup.WaitHidden("TForm3")) << "on page " << page;
}

// After "&Weiter>" on the ready page: the wizard is hidden, the picture and the copy-progress
// windows are shown, the latter centred with its top at 768 / 1.2 = 640.
void ExpectCopyWindows(const Process& setup, const std::string& folderLabel) {
  EXPECT_TRUE(setup.WaitHidden("TForm2"));
  EXPECT_NE(setup.WaitWindow("TForm7"), nullptr);
  HWND progress = setup.WaitWindow("TForm5");
  ASSERT_NE(progress, nullptr);
  // It is moved there right after it is shown.
  EXPECT_TRUE(WaitUntil([&] { return ScreenRect(progress).top == 640; })) << ScreenRect(progress).top;
  const RECT r = ScreenRect(progress);
  EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
  EXPECT_NE(WaitChild(progress, "Static", "Extracting files to " + folderLabel, kWaitMs), nullptr);
}

TEST(Wizard, LanguageListHoldsTheLngFilesSortedAndPreselectsTheSetting) {
  Medium medium;
  medium.Write("german.lng", ReadFile(SourceFile("medium\\german.lng")));
  medium.Write("English.LNG", ReadFile(SourceFile("medium\\english.lng")));
  medium.Write("liesmich.txt", "kein Sprachfile\r\n");
  // "yes" is not "1": the language is not fixed.
  medium.WriteSetupInf(SetupInf("ENGLISH.lng", "german.lng", "yes"));
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  EXPECT_EQ(Text(wizard), "Talvenor Installation");
  HWND languages = FindChild(wizard, "ComboBox");
  ASSERT_NE(languages, nullptr);
  EXPECT_EQ(ComboItems(languages), (std::vector<std::string>{"English", "german"}));
  EXPECT_EQ(ComboSelection(languages), "English");
}

TEST(Wizard, GermanWalkThroughEveryPageWithBackButtonsAndAChosenFolder) {
  WorkFolder work;
  const RunTraces traces;
  Medium medium;
  LayOutMedium(medium, SetupInf("german.lng", "german.lng", "0"));
  const std::string programFiles = ProgramFilesDir();
  ASSERT_FALSE(programFiles.empty());
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);

  // Language page, welcome page and back.
  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  EXPECT_EQ(Text(wizard), "Talvenor Installation");
  EXPECT_EQ(ComboSelection(FindChild(wizard, "ComboBox")), "german");
  SaveScreenShotIfAsked("wizard-de-language");
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  EXPECT_TRUE(WaitCaption(wizard, "Willkommen"));
  EXPECT_NE(FindChild(wizard, "Button", "< &Zurück", true), nullptr);
  SaveScreenShotIfAsked("wizard-de-welcome");
  ASSERT_TRUE(Press(wizard, "< &Zurück"));
  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  EXPECT_TRUE(WaitCaption(wizard, "Talvenor Installation"));

  // Licence page: the text of Licence.txt; its back button leads to the language page.
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "license"));
  EXPECT_TRUE(WaitCaption(wizard, "Lizenzbestimmungen"));
  EXPECT_EQ(Text(Memo(wizard)), "Lizenz des Tests\r\nZweite Zeile");
  SaveScreenShotIfAsked("wizard-de-licence");
  ASSERT_TRUE(Press(wizard, "< &Zurück"));
  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "license"));

  // Folder page: the default is the Program Files folder and Setup.inf's program name.
  const std::string proposed = programFiles + "\\Talvenor";
  ASSERT_TRUE(Press(wizard, "&Akzeptieren>"));
  ASSERT_TRUE(WaitPage(wizard, "Dir"));
  EXPECT_TRUE(WaitCaption(wizard, "Verzeichnissauswahl"));
  EXPECT_EQ(Text(Label9(wizard)), proposed);
  SaveScreenShotIfAsked("wizard-de-folder");

  // Browsing: the dialog starts at the Program Files folder with setup.ini's name; opening
  // the drive root and then a folder rebuilds the path; "&Ok" shortens it for the label.
  ASSERT_TRUE(Press(wizard, "S&uchen..."));
  HWND dialog = setup.WaitWindow("TForm4");
  ASSERT_NE(dialog, nullptr);
  HWND path = FindChild(dialog, "Edit");
  HWND folders = FindChild(dialog, "ListBox");
  EXPECT_TRUE(WaitText(path, programFiles + "\\Talvenor")) << Text(path);
  SaveScreenShotIfAsked("wizard-de-folderdialog");
  ASSERT_TRUE(DoubleClickListItem(folders, "C:\\"));
  EXPECT_TRUE(WaitText(path, "C:\\Talvenor")) << Text(path);
  ASSERT_TRUE(WaitUntil([&] { return DoubleClickListItem(folders, "talvenor-e2e-wizard"); }));
  EXPECT_TRUE(WaitText(path, std::string(kWork) + "\\Talvenor")) << Text(path);
  ASSERT_TRUE(Press(dialog, "&Ok"));
  EXPECT_TRUE(setup.WaitHidden("TForm4"));
  EXPECT_TRUE(WaitText(Label9(wizard), "C:\\...\\talvenor-e2e-wizard\\Talvenor\\")) << Text(Label9(wizard));

  // Accepting the licence again proposes the default again.
  ASSERT_TRUE(Press(wizard, "< &Zurück"));
  ASSERT_TRUE(WaitPage(wizard, "license"));
  EXPECT_TRUE(WaitCaption(wizard, "Lizenzbestimmungen"));
  ASSERT_TRUE(Press(wizard, "&Akzeptieren>"));
  ASSERT_TRUE(WaitPage(wizard, "Dir"));
  EXPECT_EQ(Text(Label9(wizard)), proposed);
  EXPECT_EQ(Text(path), proposed);

  // A typed folder three levels deep, none of which exists, is created on "&Weiter>".
  const std::string deep = std::string(kWork) + "\\eins\\zwei\\drei";
  ASSERT_TRUE(Press(wizard, "S&uchen..."));
  ASSERT_NE(setup.WaitWindow("TForm4"), nullptr);
  SetText(path, deep);
  ASSERT_TRUE(Press(dialog, "&Ok"));
  EXPECT_TRUE(setup.WaitHidden("TForm4"));
  EXPECT_TRUE(WaitText(Label9(wizard), "C:\\...\\eins\\zwei\\drei\\")) << Text(Label9(wizard));
  EXPECT_FALSE(FolderExists(std::string(kWork) + "\\eins"));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  ASSERT_TRUE(WaitPage(wizard, "ready"));
  EXPECT_TRUE(WaitCaption(wizard, "Fertig zum Kopieren"));
  EXPECT_TRUE(FolderExists(deep));
  SaveScreenShotIfAsked("wizard-de-ready");
  ASSERT_TRUE(Press(wizard, "< &Zurück"));
  ASSERT_TRUE(WaitPage(wizard, "Dir"));
  EXPECT_TRUE(WaitCaption(wizard, "Verzeichnissauswahl"));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  ASSERT_TRUE(WaitPage(wizard, "ready"));

  // Without Setup.zip beside the program the locate-archive prompt comes first.
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  HWND prompt = setup.WaitWindow("TForm8");
  ASSERT_NE(prompt, nullptr);
  PostClose(prompt);
  ExpectCopyWindows(setup, "C:\\...\\eins\\zwei\\drei\\");
  setup.Kill();
}

TEST(Wizard, EnglishWalkWithTheArchivePresent) {
  Medium medium;
  LayOutMedium(medium, SetupInf("english.lng", "german.lng", "0"));
  medium.Write("Setup.zip", "PK\x05\x06" + std::string(18, '\0'));
  const std::string programFiles = ProgramFilesDir();
  const CreatedFolder target(programFiles + "\\Talvenor");
  const RunTraces traces;
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);

  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  EXPECT_EQ(ComboSelection(FindChild(wizard, "ComboBox")), "english");
  SaveScreenShotIfAsked("wizard-en-language");
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  EXPECT_TRUE(WaitCaption(wizard, "Welcome"));
  EXPECT_NE(FindChild(wizard, "Button", "< &Back", true), nullptr);
  SaveScreenShotIfAsked("wizard-en-welcome");
  ASSERT_TRUE(Press(wizard, "&Next >"));
  ASSERT_TRUE(WaitPage(wizard, "license"));
  EXPECT_TRUE(WaitCaption(wizard, "Licence Agreement"));
  SaveScreenShotIfAsked("wizard-en-licence");
  ASSERT_TRUE(Press(wizard, "&Accept>"));
  ASSERT_TRUE(WaitPage(wizard, "Dir"));
  EXPECT_TRUE(WaitCaption(wizard, "Choose Destination Folder"));
  EXPECT_EQ(Text(FindChild(wizard, "TGroupBox")), "Destination folder");
  SaveScreenShotIfAsked("wizard-en-folder");
  ASSERT_TRUE(Press(wizard, "B&rowse..."));
  HWND dialog = setup.WaitWindow("TForm4");
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(WaitCaption(dialog, "Select Destination Folder"));
  EXPECT_TRUE(WaitText(FindChild(dialog, "Edit"), programFiles + "\\Talvenor"));
  SaveScreenShotIfAsked("wizard-en-folderdialog");
  ASSERT_TRUE(Press(dialog, "&OK"));
  EXPECT_TRUE(setup.WaitHidden("TForm4"));
  const std::string label = programFiles + "\\Talvenor\\";
  ASSERT_LE(label.size(), 29u) << "this prefix's Program Files folder is too long for the label check";
  EXPECT_TRUE(WaitText(Label9(wizard), label)) << Text(Label9(wizard));
  ASSERT_TRUE(Press(wizard, "&Next>"));
  ASSERT_TRUE(WaitPage(wizard, "ready"));
  EXPECT_TRUE(WaitCaption(wizard, "Ready to Copy"));
  EXPECT_TRUE(FolderExists(programFiles + "\\Talvenor"));
  SaveScreenShotIfAsked("wizard-en-ready");

  // With Setup.zip present no prompt appears.
  ASSERT_TRUE(Press(wizard, "&Next>"));
  ExpectCopyWindows(setup, label);
  EXPECT_EQ(setup.FindWindowOfClass("TForm8"), nullptr);
  setup.Kill();
}

TEST(Wizard, FixedLanguageStartsOnWelcomeWithoutBackButtonAndAMissingLicenceLeavesTheNotice) {
  Medium medium;
  medium.Write("german.lng", ReadFile(SourceFile("medium\\german.lng")));
  medium.WriteSetupInf(SetupInf("german.lng", "german.lng", "1"));
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  EXPECT_EQ(Text(wizard), "Talvenor Installation");
  EXPECT_EQ(FindChild(wizard, "Button", "< &Zurück", true), nullptr);
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "license"));
  EXPECT_EQ(Text(Memo(wizard)),
            "DIE DATEI Licence.txt FEHLT ODER IST BESCHÄDIGT. \r\n"
            "FORDERN SIE DIE DATEI BEI IHREM HÄNDLER AN. \r\n"
            "KLICKEN SIE ERST AUF AKZEPTIEREN, WENN SIE \r\n"
            "MIT DEN LIZENZBESTIMMUNGEN DIE IN DIESER \r\n"
            "DATEI STEHEN, EINVERSTADEN SIND!");
  // The licence page's back button leads to the language page even so.
  ASSERT_TRUE(Press(wizard, "< &Zurück"));
  EXPECT_TRUE(WaitPage(wizard, "Sprachwahl"));
  EXPECT_TRUE(WaitCaption(wizard, "Talvenor Installation"));
}

TEST(Wizard, EveryCancelButtonAndACloseRequestShowTheCancelConfirmation) {
  WorkFolder work;
  Medium medium;
  LayOutMedium(medium, SetupInf("german.lng", "german.lng", "0"));
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  ASSERT_TRUE(Press(wizard, "Abbruch"));
  ExpectCancelConfirmation(setup, wizard, "Sprachwahl");
  PostClose(wizard);
  ExpectCancelConfirmation(setup, wizard, "Sprachwahl");

  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  ASSERT_TRUE(Press(wizard, "Abbruch"));
  ExpectCancelConfirmation(setup, wizard, "Welcome");

  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "license"));
  ASSERT_TRUE(Press(wizard, "&Ende"));
  ExpectCancelConfirmation(setup, wizard, "license");

  ASSERT_TRUE(Press(wizard, "&Akzeptieren>"));
  ASSERT_TRUE(WaitPage(wizard, "Dir"));
  ASSERT_TRUE(Press(wizard, "Abbrechen"));
  ExpectCancelConfirmation(setup, wizard, "Dir");
  ::PostMessageA(wizard, WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectCancelConfirmation(setup, wizard, "Dir");

  // The ready page, reached with a folder of the test.
  ASSERT_TRUE(Press(wizard, "S&uchen..."));
  HWND dialog = setup.WaitWindow("TForm4");
  ASSERT_NE(dialog, nullptr);
  SetText(FindChild(dialog, "Edit"), std::string(kWork) + "\\Ziel");
  ASSERT_TRUE(Press(dialog, "&Ok"));
  EXPECT_TRUE(setup.WaitHidden("TForm4"));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  ASSERT_TRUE(WaitPage(wizard, "ready"));
  ASSERT_TRUE(Press(wizard, "Abbrechen"));
  ExpectCancelConfirmation(setup, wizard, "ready");
  EXPECT_TRUE(setup.Running());
}

// The names of the files in a folder.
std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (std::string(data.cFileName) != "." && std::string(data.cFileName) != "..") names.push_back(data.cFileName);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return names;
}

// Presses "&Next>" on the folder page and expects the box that refuses the folder.
void ExpectFolderRefused(const Process& setup, HWND wizard) {
  ASSERT_TRUE(Press(wizard, "&Next>"));
  const auto box = WaitMessageBox(setup);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, "Talvenor Installation");
  EXPECT_EQ(box->text.rfind("The destination folder cannot be created. Please choose another folder.", 0), 0u)
      << box->text;
  ASSERT_TRUE(Answer(*box, "OK"));
  EXPECT_TRUE(WaitUntil([&] { return !FindMessageBox(setup).has_value(); }));
}

TEST(Wizard, AFolderThatCannotTakeTheInstallationKeepsTheFolderPageAndNothingIsWritten) {
  WorkFolder work;
  const std::string file = std::string(kWork) + "\\Datei";
  WriteFile(file, "kein Ordner");
  char missingDrive[] = "Q:\\";
  while (::GetDriveTypeA(missingDrive) != DRIVE_NO_ROOT_DIR && missingDrive[0] < 'Y') ++missingDrive[0];
  Medium medium;
  LayOutMedium(medium, SetupInf("english.lng", "english.lng", "0"));
  medium.Write("Setup.zip", "PK\x05\x06" + std::string(18, '\0'));
  const std::vector<std::string> mediumFiles = FileNames(medium.Path());
  const RunTraces traces;
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  ASSERT_TRUE(Press(wizard, "&Next >"));
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  ASSERT_TRUE(Press(wizard, "&Next >"));
  ASSERT_TRUE(WaitPage(wizard, "license"));
  ASSERT_TRUE(Press(wizard, "&Accept>"));
  ASSERT_TRUE(WaitPage(wizard, "Dir"));

  // A drive that does not exist, a file of that name, characters no folder name may hold,
  // relative paths, a blank and an empty path.
  for (const std::string& folder : {std::string(missingDrive) + "Talvenor", file, std::string(kWork) + "\\a|b",
                                    std::string("Talvenor"), std::string("\\"), std::string(" "), std::string()}) {
    SCOPED_TRACE("folder \"" + folder + "\"");
    ASSERT_TRUE(Press(wizard, "B&rowse..."));
    HWND dialog = setup.WaitWindow("TForm4");
    ASSERT_NE(dialog, nullptr);
    SetText(FindChild(dialog, "Edit"), folder);
    ASSERT_NO_FATAL_FAILURE(ExpectFolderRefused(setup, wizard));
    EXPECT_EQ(VisiblePage(wizard), "Dir");
  }
  EXPECT_FALSE(FolderExists(std::string(kWork) + "\\a|b"));

  // A usable folder: the dialog left open goes when the folder page is left.
  const std::string target = std::string(kWork) + "\\Ziel";
  ASSERT_TRUE(Press(wizard, "B&rowse..."));
  HWND dialog = setup.WaitWindow("TForm4");
  ASSERT_NE(dialog, nullptr);
  SetText(FindChild(dialog, "Edit"), target);
  ASSERT_TRUE(Press(wizard, "&Next>"));
  ASSERT_TRUE(WaitPage(wizard, "ready"));
  EXPECT_TRUE(setup.WaitHidden("TForm4"));
  EXPECT_TRUE(FolderExists(target));

  // The folder goes before the run starts: the run writes nothing and brings the folder page
  // back, in the language chosen.
  RemoveTree(target);
  ASSERT_TRUE(Press(wizard, "&Next>"));
  ASSERT_TRUE(setup.WaitHidden("TForm2"));
  const auto box = WaitMessageBox(setup);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text.rfind("The destination folder cannot be created.", 0), 0u) << box->text;
  ASSERT_TRUE(Answer(*box, "OK"));
  ASSERT_TRUE(WaitUntil([&] { return Visible(wizard); }));
  EXPECT_EQ(VisiblePage(wizard), "Dir");
  EXPECT_TRUE(WaitCaption(wizard, "Choose Destination Folder"));
  EXPECT_NE(FindChild(wizard, "Button", "&Next>", true), nullptr);
  EXPECT_EQ(setup.FindWindowOfClass("TForm5"), nullptr);
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProgramKey));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(FolderExists(GroupFolder()));
  EXPECT_EQ(FileNames(medium.Path()), mediumFiles);

  // From there the walk goes on as before.
  ASSERT_TRUE(Press(wizard, "&Next>"));
  ASSERT_TRUE(WaitPage(wizard, "ready"));
  EXPECT_TRUE(FolderExists(target));
  setup.Kill();
}

}  // namespace
