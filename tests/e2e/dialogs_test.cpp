// The dialogs around the installation as a user meets them: the cancel confirmations, the
// locate-archive prompt, the copy-progress and picture windows.
#include "driver.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

using namespace e2e;

namespace {

// Names of everything an installation run started by these tests could write, so that the
// tests can remove it again.
constexpr const char* kName = "TalvenorDialogsE2E";
const std::string kProgramKey = std::string("Software\\") + kName;
const std::string kUninstallKey = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kName;

std::string SetupInf() {
  return std::string("[Program]\r\nProgramname=") + kName + "\r\nProgramEntry=" + kProgramKey +
         "\r\n[Uninstall]\r\nUnInstallEntry=" + kName + "\r\n[Group]\r\nGroupname=" + kName +
         "\r\n[Defaults]\r\nfixed=1\r\n";
}

std::string ProgramsFolder() {
  char path[MAX_PATH] = {};
  ::SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, path);
  return path;
}

std::string ProgramFilesDir() {
  return RegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir").value_or("");
}

// The name of the wizard page shown.
std::string VisiblePage(HWND wizard) {
  HWND page = FindChild(wizard, "TPage", "", true);
  return page ? Text(page) : std::string();
}

bool WaitPage(HWND wizard, const std::string& name) {
  return WaitUntil([&] { return VisiblePage(wizard) == name; });
}

// Clicks the visible button of that caption; false when none appears.
bool Press(HWND form, const std::string& caption) {
  HWND button = WaitChild(form, "Button", caption, kWaitMs);
  if (!button) return false;
  Click(button);
  return true;
}

// The entries of another process's list box. Read as wide text: Wine hands the text of
// LB_GETTEXT across processes in UTF-16 even to the ANSI call.
std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, WPARAM(i), 0);
    if (length < 0) break;
    std::wstring wide(size_t(length) + 1, L'\0');
    const LRESULT got = ::SendMessageW(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(&wide[0]));
    wide.resize(size_t(got > 0 ? got : 0));
    std::string text(wide.size() * 2 + 1, '\0');
    const int n =
        ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), &text[0], int(text.size()), nullptr, nullptr);
    text.resize(size_t(n > 0 ? n : 0));
    items.push_back(text);
  }
  return items;
}

// A double click on the first entry of a list box, as the mouse gives it.
void DoubleClickFirstItem(HWND list) {
  ::SendMessageA(list, LB_SETTOPINDEX, 0, 0);
  const LRESULT height = ::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
  const LPARAM at = MAKELPARAM(6, int(height / 2));
  ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageA(list, WM_LBUTTONUP, 0, at);
  ::PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  ::PostMessageA(list, WM_LBUTTONUP, 0, at);
}

// Each test starts setup on its own medium and removes what a run could have left behind.
class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    medium_.WriteSetupInf(SetupInf());
    Cleanup();
  }
  void TearDown() override { Cleanup(); }

  // Starts setup and walks from the welcome page (the language is fixed) to the ready page.
  HWND StartAtReadyPage(Process& setup) {
    HWND wizard = setup.WaitWindow("TForm2");
    if (!wizard || !WaitPage(wizard, "Welcome") || !Press(wizard, "&Weiter >") || !WaitPage(wizard, "license") ||
        !Press(wizard, "&Akzeptieren>") || !WaitPage(wizard, "Dir") || !Press(wizard, "&Weiter>") ||
        !WaitPage(wizard, "ready"))
      return nullptr;
    return wizard;
  }

  const Medium& TheMedium() const { return medium_; }

 private:
  static void Cleanup() {
    RegDeleteTree(HKEY_LOCAL_MACHINE, kProgramKey);
    RegDeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    RemoveTree(ProgramsFolder() + "\\" + kName);
    const std::string programFiles = ProgramFilesDir();
    if (!programFiles.empty()) RemoveTree(programFiles + "\\" + kName);
  }

  Medium medium_;
};

TEST_F(Dialogs, WizardCancelConfirmationGoesOnWithFortfahrenAndEndsSetupWithBeenden) {
  Process setup(TheMedium().SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  ASSERT_TRUE(Press(wizard, "Abbruch"));
  HWND confirm = setup.WaitWindow("TForm3");
  ASSERT_NE(confirm, nullptr);
  EXPECT_EQ(Text(confirm), "Installation");
  EXPECT_NE(FindChild(confirm, "Static",
                      "Sie können das Installationsprogramm später starten, um das Programm zu installieren."),
            nullptr);
  // Centred on the background screen, which fills the screen.
  const RECT r = ScreenRect(confirm);
  EXPECT_NEAR((r.left + r.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 8);
  SaveScreenShotIfAsked("dialog-cancel");

  ASSERT_TRUE(Press(confirm, "&Fortfahren"));
  EXPECT_TRUE(setup.WaitHidden("TForm3"));
  EXPECT_TRUE(Visible(wizard));
  EXPECT_EQ(VisiblePage(wizard), "Welcome");
  EXPECT_TRUE(setup.Running());

  // A close request on the wizard asks again; this time the user ends setup.
  PostClose(wizard);
  confirm = setup.WaitWindow("TForm3");
  ASSERT_NE(confirm, nullptr);
  ASSERT_TRUE(Press(confirm, "&Beenden"));
  EXPECT_TRUE(setup.WaitExit()) << "Beenden ends the program";
  EXPECT_EQ(setup.ExitCode(), 2u) << "cancelled before anything was written";
}

TEST_F(Dialogs, LocatePromptRefusesAFolderWithoutTheArchiveAndAcceptsADriveRootThatHoldsIt) {
  // The medium has no Setup.zip; the root of drive C: has one, and the description file that
  // the run would copy from there.
  const std::string rootArchive = "C:\\Setup.zip";
  const std::string rootInf = "C:\\Setup.inf";
  ASSERT_FALSE(FileExists(rootArchive)) << "left over from elsewhere";
  ASSERT_FALSE(FileExists(rootInf)) << "left over from elsewhere";
  struct RemoveAtEnd {
    std::vector<std::string> files;
    ~RemoveAtEnd() {
      for (const std::string& f : files) ::DeleteFileA(f.c_str());
    }
  } rootFiles{{rootArchive, rootInf}};
  WriteFile(rootArchive, "");
  WriteFile(rootInf, SetupInf());

  // Started from the medium, whose folder is then the current one that the folder list shows.
  Process setup(TheMedium().SetupExe(), "", TheMedium().Path());
  HWND wizard = StartAtReadyPage(setup);
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  HWND prompt = setup.WaitWindow("TForm8");
  ASSERT_NE(prompt, nullptr) << "Setup.zip is missing beside setup.exe";
  EXPECT_EQ(Text(prompt), "Datenträger einlegen");
  HWND folders = FindChild(prompt, "ListBox");
  ASSERT_NE(folders, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !ListItems(folders).empty(); }));
  EXPECT_EQ(ListItems(folders).front(), "C:\\") << "the medium lies on drive C:";
  SaveScreenShotIfAsked("dialog-locate");

  // The medium's own folder has no archive.
  ASSERT_TRUE(Press(prompt, "&OK"));
  auto box = WaitMessageBox(setup);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, "Talvenor Installation");
  EXPECT_EQ(box->text, "Datei wurde nicht gefunden!");
  ASSERT_TRUE(Answer(*box, "OK"));
  ASSERT_TRUE(WaitUntil([&] { return !FindMessageBox(setup).has_value(); }));
  EXPECT_TRUE(Visible(prompt)) << "the prompt stays open";
  EXPECT_EQ(setup.FindWindowOfClass("TForm5"), nullptr) << "the run has not begun";

  // "&Abbrechen" asks above the prompt; "&Fortfahren" comes back to it.
  ASSERT_TRUE(Press(prompt, "&Abbrechen"));
  HWND confirm = setup.WaitWindow("TForm3");
  ASSERT_NE(confirm, nullptr);
  ASSERT_TRUE(Press(confirm, "&Fortfahren"));
  EXPECT_TRUE(setup.WaitHidden("TForm3"));
  EXPECT_TRUE(Visible(prompt));

  // The drive root, opened in the folder list, holds the archive.
  const std::vector<std::string> mediumLevels = ListItems(folders);
  DoubleClickFirstItem(folders);
  ASSERT_TRUE(WaitUntil([&] {
    const auto items = ListItems(folders);
    return !items.empty() && items != mediumLevels && items.front() == "C:\\" &&
           ::SendMessageW(folders, LB_GETCURSEL, 0, 0) == 0;
  })) << "the folder list moves to the root";
  ASSERT_TRUE(Press(prompt, "&OK"));
  EXPECT_TRUE(setup.WaitHidden("TForm8")) << "the archive is found";
  EXPECT_NE(setup.WaitWindow("TForm7"), nullptr);
  HWND progress = setup.WaitWindow("TForm5");
  ASSERT_NE(progress, nullptr) << "the installation goes on";

  // Ends setup through the copy window's cancel confirmation.
  ASSERT_TRUE(Press(progress, "Abbruch"));
  HWND runConfirm = setup.WaitWindow("TForm6");
  ASSERT_NE(runConfirm, nullptr);
  ASSERT_TRUE(Press(runConfirm, "&Beenden"));
  EXPECT_TRUE(setup.WaitExit());
}

TEST_F(Dialogs, CopyProgressRefusesCloseRequestsAndAsksEachTime) {
  Process setup(TheMedium().SetupExe());
  HWND wizard = StartAtReadyPage(setup);
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  // Closing the prompt through its frame stores nothing; the installation goes on.
  HWND prompt = setup.WaitWindow("TForm8");
  ASSERT_NE(prompt, nullptr);
  PostClose(prompt);
  HWND splash = setup.WaitWindow("TForm7");
  ASSERT_NE(splash, nullptr);
  SaveScreenShotIfAsked("dialog-splash");
  HWND progress = setup.WaitWindow("TForm5");
  ASSERT_NE(progress, nullptr);
  EXPECT_NE(FindChild(progress, "Static", "Extracting files to " + ProgramFilesDir() + "\\" + kName), nullptr);
  EXPECT_EQ(Text(progress), "Kopiervorgang der Datein");
  // Frameless: the window is its client area.
  RECT client;
  ::GetClientRect(progress, &client);
  const RECT outer = ScreenRect(progress);
  EXPECT_EQ(outer.right - outer.left, client.right);
  EXPECT_EQ(outer.bottom - outer.top, client.bottom);
  SaveScreenShotIfAsked("dialog-progress");

  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    PostClose(progress);
    HWND confirm = setup.WaitWindow("TForm6");
    ASSERT_NE(confirm, nullptr) << "each close request asks";
    EXPECT_EQ(Text(confirm), "Setup Beenden");
    EXPECT_TRUE(Visible(progress));
    if (attempt == 0) SaveScreenShotIfAsked("dialog-cancel-run");
    ASSERT_TRUE(Press(confirm, "&Fortfahren"));
    EXPECT_TRUE(setup.WaitHidden("TForm6"));
    EXPECT_TRUE(Visible(progress)) << "only the confirmation goes";
    EXPECT_TRUE(Visible(splash));
  }

  // The picture window cannot be closed at all.
  PostClose(splash);
  ::Sleep(300);
  EXPECT_TRUE(Visible(splash));
  EXPECT_EQ(setup.FindWindowOfClass("TForm6"), nullptr) << "the picture window asks nothing";

  PostClose(progress);
  HWND confirm = setup.WaitWindow("TForm6");
  ASSERT_NE(confirm, nullptr);
  ASSERT_TRUE(Press(confirm, "&Beenden"));
  EXPECT_TRUE(setup.WaitExit()) << "Beenden ends the program";
}

}  // namespace
