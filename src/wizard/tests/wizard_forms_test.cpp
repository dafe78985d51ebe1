// The wizard and the target-folder dialog in the process: the eight forms exist as at program
// start, and the tests call the handlers as the window system would.
#include "IniLang.h"
#include "ShellLinkWriter.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Unit7.h"
#include "Unit8.h"
#include "ZipArchive.h"
#include "application.h"
#include "files.h"
#include "handle.h"
#include "link_reader.h"
#include "registry.h"
#include "session.h"
#include "shell_folder_override.h"

#include "forms_environment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace forms;

namespace {

bool Showing(const Form* form) { return ::IsWindowVisible(form->Handle()) != FALSE; }

// Takes a pending quit message off the queue: the message loop would have ended on it.
bool QuitPosted() {
  MSG msg;
  return ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A folder below the temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name) : path_(platform::TempFolder() + name + "\\") {
    Remove(path_);
    platform::ForceDirectories(path_);
  }
  ~ScratchFolder() { Remove(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path_; }  // with a trailing backslash

 private:
  static void Remove(const std::string& folder) {
    for (const std::string& sub : platform::ListFolders(folder)) Remove(folder + sub + "\\");
    for (const std::string& file : platform::ListFiles(folder)) ::DeleteFileA((folder + file).c_str());
    ::RemoveDirectoryA(folder.c_str());
  }
  std::string path_;
};

std::string ProgramFilesDir() {
  platform::Registry registry(HKEY_LOCAL_MACHINE);
  return registry.OpenKeyReadOnly("Software\\Microsoft\\Windows\\CurrentVersion")
             ? registry.ReadString("ProgramFilesDir")
             : std::string();
}

std::string VisiblePage() {
  const Page* page = Form2->Notebook1().ActivePage();
  return page ? page->PageName() : std::string();
}

DirectoryListBox& Folders() { return Form4->Get<DirectoryListBox>("dirl"); }

// Keeps the state that the forms share across tests as the tests found it.
class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override { sourceDir_ = install::TheSession().SourceDir; }
  void TearDown() override {
    for (Form* f : {static_cast<Form*>(Form2), static_cast<Form*>(Form3), static_cast<Form*>(Form4)}) f->Hide();
    Form2->Tag = 0;
    install::TheSession().SourceDir = sourceDir_;
    Form1->CloseAllowed = false;
    CurrentLanguage.reset();
    QuitPosted();
  }

 private:
  std::string sourceDir_;
};

// ---- designs

TEST_F(WizardTest, WindowsFollowTheirDesigns) {
  RECT client;
  ::GetClientRect(Form2->Handle(), &client);
  EXPECT_EQ(client.right, 472);
  EXPECT_EQ(client.bottom, 329);
  const LONG_PTR style = ::GetWindowLongPtrA(Form2->Handle(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_NE(style & WS_SYSMENU, 0);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_NE(::GetWindowLongPtrA(Form2->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

  std::vector<std::string> pages;
  for (const Page* page : Form2->Notebook1().Pages()) pages.push_back(page->PageName());
  EXPECT_EQ(pages, (std::vector<std::string>{"Welcome", "license", "Dir", "Options", "ready", "Infrarot", "ende",
                                             "irinsall", "Sprachwahl"}));
  EXPECT_EQ(VisiblePage(), "Welcome") << "the first page until the wizard is shown";
  EXPECT_EQ(Form2->Get<Timer>("Timer1").Interval(), 1500);
  EXPECT_FALSE(Form2->Get<Timer>("Timer1").Enabled());
  EXPECT_FALSE(Form2->Get<ListBox>("ListBox1").Visible());
  EXPECT_TRUE(Form2->Get<CheckControl>("autowatcher").Checked());
  EXPECT_EQ(Form2->Get<CheckControl>("autowatcher").Hint(),
            "Talvenor wird bei Windows-Start im Sleep-Modus gestartet. Sobald Sie ein Handy anschließen wird "
            "Talvenor aktiviert");
  EXPECT_TRUE(Form2->Get<CheckControl>("choicekabel").Checked());
  const Image& side = Form2->Get<Image>("Image8");
  EXPECT_EQ(side.Width(), 120);
  EXPECT_EQ(side.Height(), 236);
  EXPECT_EQ(Form2->Label9().Caption(), "C:\\Programme\\Talvenor S1.8\\");
  const TZipArchive& archive = Form2->ZipArchive1();
  EXPECT_EQ(archive.ExtrOptions, (ExtrOpts{ExtrDirNames, ExtrOverWrite}));
  EXPECT_EQ(archive.FSpecArgs(), std::vector<std::string>{"*.*"});
  EXPECT_FALSE(archive.Unattended);

  ::GetClientRect(Form4->Handle(), &client);
  EXPECT_EQ(client.right, 292);
  EXPECT_EQ(client.bottom, 309);
  EXPECT_EQ(Form4->Caption(), "Auswahl des Ziel-Ordners");
  EXPECT_EQ(Form4->Edit1().Text(), "C:\\");
  EXPECT_NE(::GetWindowLongPtrA(Form4->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(WizardTest, FolderDialogTabsFromOkOverDrivesAndFoldersToThePathAndAbbruch) {
  Form4->Show();
  const HWND order[] = {Form4->Get<Button>("Button1").Handle(), Form4->Get<DriveComboBox>("DriveComboBox1").Handle(),
                        Folders().Handle(), Form4->Edit1().Handle(), Form4->Get<Button>("Button2").Handle()};
  EXPECT_EQ(::GetFocus(), order[0]);
  for (size_t i = 0; i + 1 < std::size(order); ++i)
    EXPECT_EQ(::GetNextDlgTabItem(Form4->Handle(), order[i], FALSE), order[i + 1]) << i;
}

// ---- the target-folder dialog

TEST_F(WizardTest, FolderDialogStartsAtProgramFilesAndJoinsTheNameFromSetupIni) {
  ScratchFolder medium("talvenor_wizard_medium");
  ScratchFolder browse("talvenor_wizard_browse");
  WriteText(medium.Path() + "setup.ini", "[Program]\r\nProgramname=Talvenor Test\r\n");
  install::TheSession().SourceDir = medium.Path();
  const std::string programFiles = ProgramFilesDir();
  ASSERT_FALSE(programFiles.empty());

  Form4->Show();
  EXPECT_TRUE(platform::SameText(Folders().Directory(), programFiles));
  EXPECT_EQ(Form4->Edit1().Text(), programFiles + "\\Talvenor Test");

  // Opening a folder rebuilds the path; a drive root gets no second backslash.
  Folders().SetDirectory("C:\\");
  EXPECT_EQ(Form4->Edit1().Text(), "C:\\Talvenor Test");
  Folders().SetDirectory(browse.Path());
  const std::string browsed = Folders().Directory() + "\\Talvenor Test";
  EXPECT_EQ(Form4->Edit1().Text(), browsed);

  // A single click rebuilds from the current folder too, replacing what was typed.
  Form4->Edit1().SetText("D:\\getippt");
  Form4->dirlClick();
  EXPECT_EQ(Form4->Edit1().Text(), browsed);

  // "&Abbruch" keeps the browsed path as the target and the label as it was.
  const std::string label = Form2->Label9().Caption();
  Form4->Get<Button>("Button2").Click();
  EXPECT_FALSE(Showing(Form4));
  EXPECT_EQ(Form4->Edit1().Text(), browsed);
  EXPECT_EQ(Form2->Label9().Caption(), label);

  // Without setup.ini the path is the folder with a trailing backslash; showing the dialog
  // again starts from the Program Files folder.
  ::DeleteFileA((medium.Path() + "setup.ini").c_str());
  Form4->Show();
  EXPECT_TRUE(platform::SameText(Folders().Directory(), programFiles));
  EXPECT_EQ(Form4->Edit1().Text(), programFiles + "\\");
}

TEST_F(WizardTest, OkShowsTheShortenedPathInTheWizardAndLeavesTheEditAlone) {
  Form4->Show();
  Form4->Edit1().SetText("C:\\Test");
  Form4->Get<Button>("Button1").Click();
  EXPECT_FALSE(Showing(Form4));
  EXPECT_EQ(Form2->Label9().Caption(), "C:\\Test\\");
  EXPECT_EQ(Form4->Edit1().Text(), "C:\\Test");

  Form4->Show();
  Form4->Edit1().SetText("C:\\Programme\\Talvenor\\Daten\\Archiv\\");
  Form4->Get<Button>("Button1").Click();
  EXPECT_EQ(Form2->Label9().Caption(), "C:\\...\\Talvenor\\Daten\\Archiv\\");

  // An empty path has nothing to accept: the dialog stays and the label keeps its text.
  Form4->Show();
  Form4->Edit1().SetText("");
  Form4->Get<Button>("Button1").Click();
  EXPECT_TRUE(Showing(Form4));
  EXPECT_EQ(Form2->Label9().Caption(), "C:\\...\\Talvenor\\Daten\\Archiv\\");
}

// ---- wizard handlers

TEST_F(WizardTest, LanguageChoiceWithNothingSelectedLoadsNothingAndShowsTheWelcomePage) {
  install::TheSession().ExeDir = platform::ExeFolder();
  Form2->Get<ComboBox>("sprachwahl").Clear();
  Form2->Button16Click();
  EXPECT_EQ(install::TheSession().LanguageFile, ".lng");
  EXPECT_EQ(CurrentLanguage, nullptr);
  EXPECT_EQ(VisiblePage(), "Welcome");
  EXPECT_EQ(Form2->Caption(), "Willkommen");
}

TEST_F(WizardTest, ShowingTheWizardAfterTheRunChangesNothing) {
  Form2->Notebook1().SetActivePage("ende");
  Form2->SetCaption("Installation beendet");
  Form2->Tag = 2;
  Form2->Show();
  EXPECT_EQ(VisiblePage(), "ende");
  EXPECT_EQ(Form2->Caption(), "Installation beendet");
}

TEST_F(WizardTest, PageNamesMatchWithoutRegardToCaseAndUnknownNamesChangeNothing) {
  Form2->Notebook1().SetActivePage("sprachwahl");
  EXPECT_EQ(VisiblePage(), "Sprachwahl");
  Form2->Notebook1().SetActivePage("DIR");
  EXPECT_EQ(VisiblePage(), "Dir");
  Form2->Notebook1().SetActivePage("Zusammenfassung");
  EXPECT_EQ(VisiblePage(), "Dir");
}

TEST_F(WizardTest, CloseRequestsAreRefusedWithTheCancelConfirmation) {
  Form2->Tag = 2;  // shown without its start-up
  Form2->Show();
  ::SendMessageA(Form2->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(Showing(Form2));
  EXPECT_TRUE(Showing(Form3));
  EXPECT_FALSE(QuitPosted());
}

TEST_F(WizardTest, WhileAStoppedRunIsUndoneTheCopyWindowSaysSoAndNamesWhatIsUndone) {
  Form5->Show();
  Form6->Show();
  Form2->RollbackStarted();
  EXPECT_FALSE(Showing(Form6));
  EXPECT_EQ(Form5->Get<Label>("Label1").Caption(), "Die Installation wird rückgängig gemacht ...");
  ::Sleep(150);  // the window names a change a few times a second
  Form2->Undone("C:\\Programme\\Talvenor\\liesmich.txt", true);
  EXPECT_EQ(Form5->Get<Label>("Label2").Caption(), "C:\\Programme\\Talvenor\\liesmich.txt");
  Form5->Hide();
}

TEST_F(WizardTest, EveryCancelButtonShowsTheCancelConfirmation) {
  for (const char* cancel :
       {"Button2", "Button3", "Button8", "Button12", "Button15", "Button19", "Button20", "Button28"}) {
    Form3->Hide();
    Form2->Get<Button>(cancel).Click();
    EXPECT_TRUE(Showing(Form3)) << cancel;
  }
  EXPECT_FALSE(QuitPosted());
}

TEST_F(WizardTest, OptionsAndInfraredSetupButtonsKeepThePage) {
  Form2->Notebook1().SetActivePage("irinsall");
  Form2->SetCaption("");
  Form2->Get<Button>("Button26").Click();
  EXPECT_EQ(Form2->Caption(), "Verzeichnissauswahl");
  Form2->Get<Button>("Button27").Click();
  EXPECT_EQ(VisiblePage(), "irinsall");
}

// ---- communication page

class CommunicationTest : public WizardTest {
 protected:
  static constexpr const char* kEntry = "Software\\Talvenor Wizard Test";
  void SetUp() override {
    WizardTest::SetUp();
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEntry);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEntry);
    WriteText(target_.Path() + "Setup.inf", std::string("[Program]\r\nProgramEntry=") + kEntry + "\r\n");
    install::TheSession().TargetFolder = target_.Path();
    Form2->Notebook1().SetActivePage("Infrarot");
  }
  void TearDown() override {
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEntry);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEntry);
    Form2->Get<CheckControl>("choicekabel").SetChecked(true);
    Form2->Get<CheckControl>("choiceirda").SetChecked(false);
    Form1->Get<Timer>("Timer1").SetEnabled(false);
    Form1->Hide();
    WizardTest::TearDown();
  }

  static std::optional<DWORD> Kommunikation() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEntry, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    platform::UniqueHkey owner(key);
    DWORD value = 0, size = sizeof value, type = 0;
    if (::RegQueryValueExA(key, "Kommunikation", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
      return std::nullopt;
    return value;
  }

  ScratchFolder target_{"talvenor_wizard_target"};
};

TEST_F(CommunicationTest, DataCableWritesKommunikationZeroAndShowsTheFinish) {
  Form2->Get<Button>("Button18").SetEnabled(false);
  Form2->Get<Button>("choicekabel").Click();
  EXPECT_TRUE(Form2->Get<Button>("Button18").Enabled());
  Form2->Get<Button>("Button18").Click();
  EXPECT_EQ(Kommunikation(), std::optional<DWORD>(0));
  EXPECT_EQ(VisiblePage(), "ende");
  EXPECT_EQ(Form2->Caption(), "Installation beendet");
}

TEST_F(CommunicationTest, InfraredWritesNothingAndShowsTheFinish) {
  Form2->Get<CheckControl>("choicekabel").SetChecked(false);
  Form2->Get<CheckControl>("choiceirda").SetChecked(true);
  Form2->Tag = 2;  // as after the run: showing the wizard starts nothing
  Form2->Get<Button>("Button18").Click();
  EXPECT_EQ(Kommunikation(), std::nullopt);
  EXPECT_EQ(VisiblePage(), "ende");
  EXPECT_EQ(Form2->Caption(), "Installation beendet");
  EXPECT_TRUE(Showing(Form2));
}

// ---- finish

class FinishTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    shellFolders_.Set("Programs", programs_.Path() + "Programme");
    shellFolders_.Set("Startup", startup_.Path() + "Autostart");
    // The shell folders exist; only the group's subfolder is created on demand.
    platform::ForceDirectories(programs_.Path() + "Programme");
    platform::ForceDirectories(startup_.Path() + "Autostart");
    install::TheSession().SourceDir = medium_.Path();
    install::TheSession().TargetFolder = "C:\\Programme\\Talvenor\\";
    auto& links = Form2->progman2();
    links.WorkingDirectory.clear();
    links.ParamString.clear();
  }
  void TearDown() override {
    Form2->Get<CheckControl>("autowatcher").SetChecked(true);
    WizardTest::TearDown();
  }

  void WriteSetupInf(const std::string& text) const { WriteText(medium_.Path() + "Setup.inf", text); }

  ScratchFolder medium_{"talvenor_finish_medium"};
  ScratchFolder programs_{"talvenor_finish_programs"};
  ScratchFolder startup_{"talvenor_finish_startup"};
  shelllink::testing::ShellFolderOverride shellFolders_;
};

TEST_F(FinishTest, EndeWritesTheAutostartAndGroupLinksAndEndsSetup) {
  WriteSetupInf(
      "[Group]\r\nGroupname=Talvenor\r\n[GroupEntries]\r\nTalvenor=talv20.exe\r\nLiesmich=liesmich.txt\r\n"
      "[Autostart]\r\nExeString=talv20.exe /sleep\r\nDescription=Talvenor Watcher\r\n");
  Form2->Get<Button>("Button17").Click();

  const auto autostart = shelllink::testing::ReadLink(startup_.Path() + "Autostart\\Talvenor Watcher.lnk");
  ASSERT_TRUE(autostart.loaded);
  EXPECT_EQ(autostart.target, "C:\\Programme\\Talvenor\\talv20.exe");
  EXPECT_EQ(autostart.arguments, " /sleep");
  EXPECT_EQ(autostart.workingDirectory, "C:\\Programme\\Talvenor\\");

  const std::string group = programs_.Path() + "Programme\\Talvenor\\";
  const auto program = shelllink::testing::ReadLink(group + "Talvenor.lnk");
  ASSERT_TRUE(program.loaded);
  EXPECT_EQ(program.target, "C:\\Programme\\Talvenor\\talv20.exe");
  EXPECT_EQ(program.arguments, "");
  EXPECT_EQ(program.workingDirectory, "C:\\Programme\\Talvenor\\") << "left by the autostart link";
  const auto readme = shelllink::testing::ReadLink(group + "Liesmich.lnk");
  ASSERT_TRUE(readme.loaded);
  EXPECT_EQ(readme.target, "C:\\Programme\\Talvenor\\liesmich.txt");

  EXPECT_TRUE(Form1->CloseAllowed);
  EXPECT_TRUE(QuitPosted()) << "closing the background screen ends the program";
}

TEST_F(FinishTest, WithTheBoxClearedNoAutostartLinkAndGroupLinksWithoutWorkingFolder) {
  WriteSetupInf(
      "[Group]\r\nGroupname=\r\n[GroupEntries]\r\nTalvenor=talv20.exe\r\n"
      "[Autostart]\r\nExeString=talv20.exe /sleep\r\nDescription=Talvenor Watcher\r\n");
  Form2->Get<CheckControl>("autowatcher").SetChecked(false);
  Form2->Get<Button>("Button17").Click();

  EXPECT_TRUE(platform::ListFiles(startup_.Path() + "Autostart").empty());
  // An empty group name puts the links into the Programs menu itself.
  const auto program = shelllink::testing::ReadLink(programs_.Path() + "Programme\\Talvenor.lnk");
  ASSERT_TRUE(program.loaded);
  EXPECT_EQ(program.target, "C:\\Programme\\Talvenor\\talv20.exe");
  EXPECT_EQ(program.workingDirectory, "");
  EXPECT_TRUE(QuitPosted());
}

}  // namespace
