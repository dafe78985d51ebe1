// The dialogs around the run, in the process: the eight forms exist as at program start, and
// the tests work the handlers and close requests as the window system delivers them.
#include "Unit1.h"
#include "session.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Unit7.h"
#include "Unit8.h"
#include "application.h"
#include "files.h"
#include "handle.h"

#include "forms_environment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace forms;

namespace {

bool Showing(const Form* form) { return ::IsWindowVisible(form->Handle()) != FALSE; }

void Press(const Form* form, const char* button) { form->Get<Button>(button).Click(); }

// Takes a pending quit message off the queue: the message loop would have ended on it.
bool QuitPosted() {
  MSG msg;
  return ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

// Answers the first message box of this thread from a helper thread, so the handler that
// shows it returns. It waits at most ten seconds for the box.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer() : uiThread_(::GetCurrentThreadId()), worker_([this] { Run(); }) {}
  ~MessageBoxAnswerer() {
    done_ = true;
    worker_.join();
  }
  // Valid once the handler returned.
  bool Seen() const { return seen_; }
  const std::string& Caption() const { return caption_; }
  const std::string& Text() const { return text_; }

 private:
  static std::string WindowText(HWND wnd) {
    char buffer[512] = {};
    ::GetWindowTextA(wnd, buffer, sizeof buffer);
    return buffer;
  }

  static std::string ClassName(HWND wnd) {
    char cls[64] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    return cls;
  }

  // Enumeration callbacks are plain functions: 32-bit Windows calls them as __stdcall.
  static BOOL CALLBACK TakeBox(HWND wnd, LPARAM lp) {
    if (ClassName(wnd) != "#32770" || !::IsWindowVisible(wnd)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = wnd;
    return FALSE;
  }

  static BOOL CALLBACK TakeStaticText(HWND child, LPARAM lp) {
    const std::string text = WindowText(child);
    if (ClassName(child) == "Static" && !text.empty()) *reinterpret_cast<std::string*>(lp) = text;
    return TRUE;
  }

  HWND FindBox() const {
    HWND found = nullptr;
    ::EnumThreadWindows(uiThread_, &TakeBox, reinterpret_cast<LPARAM>(&found));
    return found;
  }

  void Run() {
    const DWORD start = ::GetTickCount();
    while (!done_ && ::GetTickCount() - start < 10000) {
      if (HWND box = FindBox()) {
        caption_ = WindowText(box);
        ::EnumChildWindows(box, &TakeStaticText, reinterpret_cast<LPARAM>(&text_));
        seen_ = true;
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      ::Sleep(20);
    }
  }

  const DWORD uiThread_;
  std::atomic<bool> done_{false};
  std::atomic<bool> seen_{false};
  std::string caption_;
  std::string text_;
  std::thread worker_;
};

// A folder of the test's own below the temporary folder, removed with its files at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const char* name)
      : path_(platform::TempFolder() + name + "-" + std::to_string(::GetCurrentProcessId())) {
    ::CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    for (const std::string& file : platform::ListFiles(path_)) ::DeleteFileA((path_ + "\\" + file).c_str());
    ::RemoveDirectoryA(path_.c_str());
  }
  const std::string& Path() const { return path_; }  // without a trailing backslash
  void Touch(const std::string& name) const { WriteEmpty(path_ + "\\" + name); }

  static void WriteEmpty(const std::string& path) {
    platform::UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }

 private:
  std::string path_;
};

// Keeps the background screen's state as the tests found it, also when a test ends setup:
// its quit message is taken away, so every test can run in any order.
class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sourceDir_ = install::TheSession().SourceDir;
    backgroundShown_ = Showing(Form1);
    install::TheSession().SourceDir = "X:\\medium\\";
  }
  void TearDown() override {
    for (Form* f : {static_cast<Form*>(Form3), static_cast<Form*>(Form5), static_cast<Form*>(Form6),
                    static_cast<Form*>(Form7), static_cast<Form*>(Form8)})
      f->Hide();
    QuitPosted();
    Form8->SetModalResult(mrNone);
    install::TheSession().SourceDir = sourceDir_;
    Form1->CloseAllowed = false;
    Form1->SetBorderStyle(BorderStyle::Sizeable);
    if (backgroundShown_ && !Showing(Form1)) Form1->Show();
  }

 private:
  std::string sourceDir_;
  bool backgroundShown_ = false;
};

// ---- designs

TEST_F(DialogsTest, FramesSizesAndStayOnTopFollowTheDesigns) {
  struct Expected {
    const Form* form;
    int clientWidth, clientHeight;
    bool caption, sizeable, topmost;
  };
  for (const Expected& e :
       {Expected{Form3, 294, 174, true, false, true}, Expected{Form5, 427, 132, false, false, true},
        Expected{Form6, 342, 183, true, false, true}, Expected{Form7, 400, 300, false, false, true}}) {
    SCOPED_TRACE(e.form->FormName());
    RECT client;
    ::GetClientRect(e.form->Handle(), &client);
    EXPECT_EQ(client.right, e.clientWidth);
    EXPECT_EQ(client.bottom, e.clientHeight);
    const LONG_PTR style = ::GetWindowLongPtrA(e.form->Handle(), GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrA(e.form->Handle(), GWL_EXSTYLE);
    EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, e.caption);
    EXPECT_EQ((style & WS_THICKFRAME) != 0, e.sizeable);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ((exStyle & WS_EX_TOPMOST) != 0, e.topmost);
  }
  // The prompt's size is its outer size; it has a normal resizable frame and is not on top.
  const RECT outer = Form8->ScreenRect();
  EXPECT_EQ(outer.right - outer.left, 292);
  EXPECT_EQ(outer.bottom - outer.top, 329);
  EXPECT_NE(::GetWindowLongPtrA(Form8->Handle(), GWL_STYLE) & WS_THICKFRAME, 0);
  EXPECT_EQ(::GetWindowLongPtrA(Form8->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(DialogsTest, ConfirmationsOfferFortfahrenFirstInTheTabOrder) {
  for (Form* form : {static_cast<Form*>(Form3), static_cast<Form*>(Form6)}) {
    SCOPED_TRACE(form->FormName());
    form->Show();
    EXPECT_EQ(::GetFocus(), form->Get<Button>("Button1").Handle()) << "the first tab stop gets the focus";
    EXPECT_EQ(::GetNextDlgTabItem(form->Handle(), form->Get<Button>("Button1").Handle(), FALSE),
              form->Get<Button>("Button2").Handle());
    EXPECT_EQ(form->Get<Button>("Button1").Caption(), "&Fortfahren");
    EXPECT_EQ(form->Get<Button>("Button2").Caption(), "&Beenden");
    for (const char* label : {"Label1", "Label2", "Label3"})
      EXPECT_EQ(::GetWindowLongPtrA(form->Get<Label>(label).Handle(), GWL_STYLE) & SS_TYPEMASK, SS_LEFT)
          << label << " wraps its words";
    form->Hide();
  }
  EXPECT_EQ(Form3->Get<Label>("Label1").Caption(), Form6->Get<Label>("Label1").Caption());
  EXPECT_EQ(Form3->Get<Label>("Label3").Caption(), Form6->Get<Label>("Label3").Caption());
}

TEST_F(DialogsTest, LocatePromptTabsFromOkToTheFolderList) {
  Form8->Show();
  const HWND ok = Form8->Get<Button>("Button1").Handle();
  const HWND cancel = Form8->Get<Button>("Button2").Handle();
  const HWND drives = Form8->Get<DriveComboBox>("DriveComboBox1").Handle();
  const HWND folders = Form8->DirectoryListBox1().Handle();
  EXPECT_EQ(::GetFocus(), ok);
  EXPECT_EQ(::GetNextDlgTabItem(Form8->Handle(), ok, FALSE), cancel);
  EXPECT_EQ(::GetNextDlgTabItem(Form8->Handle(), cancel, FALSE), drives);
  EXPECT_EQ(::GetNextDlgTabItem(Form8->Handle(), drives, FALSE), folders);
  EXPECT_EQ(::SendMessageA(folders, LB_GETITEMHEIGHT, 0, 0), 16);
}

TEST_F(DialogsTest, CopyProgressBarStartsEmptyWithTheNavyToBlueGradient) {
  const TProgress& bar = Form5->Progress1();
  EXPECT_EQ(bar.Parent(), &Form5->Get<Panel>("Panel1"));
  EXPECT_EQ(bar.Bounds().left, 11);
  EXPECT_EQ(bar.Bounds().top, 62);
  EXPECT_EQ(bar.Width(), 402);
  EXPECT_EQ(bar.Height(), 21);
  EXPECT_EQ(bar.BackColor(), kBtnFace);
  EXPECT_EQ(bar.BorderColor(), kBtnFace);
  EXPECT_EQ(bar.FromColor(), COLORREF(0x800000));
  EXPECT_EQ(bar.ToColor(), COLORREF(0xFF0000));
  EXPECT_EQ(bar.TextFont().name, "MS Sans Serif");
  EXPECT_EQ(bar.TextFont().height, -11);
  EXPECT_EQ(bar.TextFont().color, kWindowText);
  EXPECT_EQ(bar.Progress(), 0);
  EXPECT_EQ(bar.Text(), "");
  // The file label grows with its text.
  Label& file = Form5->Get<Label>("Label2");
  file.SetCaption("C:\\Programme\\Talvenor\\Logos\\operator.bmp");
  EXPECT_GT(file.Width(), 100);
  file.SetCaption("");
}

TEST_F(DialogsTest, BuiltInPicturesFillTheImages) {
  const Image& question = Form3->Get<Image>("Image1");
  ASSERT_NE(question.GetPicture(), nullptr) << "resource QUESTION";
  EXPECT_EQ(question.GetPicture()->GetType(), Picture::Type::Icon);
  EXPECT_EQ(question.Width(), 32);
  EXPECT_EQ(question.Height(), 32);
  const Image& splash = Form7->Get<Image>("Image1");
  ASSERT_NE(splash.GetPicture(), nullptr) << "resource SPLASH";
  EXPECT_EQ(splash.GetPicture()->Width(), 400);
  EXPECT_EQ(splash.GetPicture()->Height(), 300);
  EXPECT_EQ(splash.Bounds().left, 1);
  EXPECT_EQ(splash.Bounds().top, 1);
  EXPECT_EQ(splash.Width(), 398);
  EXPECT_EQ(splash.Height(), 298);
}

// ---- close requests

TEST_F(DialogsTest, CloseRequestOnCopyProgressShowsTheConfirmationEachTime) {
  Form5->Show();
  for (int attempt = 0; attempt < 3; ++attempt) {
    SCOPED_TRACE(attempt);
    ASSERT_FALSE(Showing(Form6));
    // The keyboard's close command arrives as WM_SYSCOMMAND, the frame's as WM_CLOSE.
    if (attempt == 1)
      ::SendMessageA(Form5->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    else
      ::SendMessageA(Form5->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(Showing(Form5)) << "the copy window refuses to close";
    EXPECT_TRUE(Showing(Form6));
    Press(Form6, "Button1");  // "&Fortfahren"
    EXPECT_FALSE(Showing(Form6));
    EXPECT_TRUE(Showing(Form5)) << "only the confirmation goes";
  }
  EXPECT_FALSE(QuitPosted());
}

TEST_F(DialogsTest, AbbruchOnCopyProgressShowsTheConfirmation) {
  Form5->Show();
  Press(Form5, "Button1");
  EXPECT_TRUE(Showing(Form6));
  EXPECT_TRUE(Showing(Form5));
  EXPECT_FALSE(Form1->CloseAllowed);
}

TEST_F(DialogsTest, PictureWindowRefusesEveryCloseRequest) {
  Form7->Show();
  ::SendMessageA(Form7->Handle(), WM_CLOSE, 0, 0);
  ::SendMessageA(Form7->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Form7->Close();
  EXPECT_TRUE(Showing(Form7));
  EXPECT_FALSE(Showing(Form6)) << "the picture window asks nothing";
}

// ---- "&Fortfahren"

TEST_F(DialogsTest, FortfahrenInTheWizardConfirmationHidesOnlyIt) {
  Form8->Show();
  Form3->Show();
  Press(Form3, "Button1");
  EXPECT_FALSE(Showing(Form3));
  EXPECT_TRUE(Showing(Form8));
  EXPECT_FALSE(Form1->CloseAllowed);
  EXPECT_FALSE(QuitPosted());
}

// ---- the locate-archive prompt

TEST(ArchiveFolder, AddsOneBackslashUnlessTheFolderEndsInOne) {
  EXPECT_EQ(ArchiveFolder("M:\\"), "M:\\");
  EXPECT_EQ(ArchiveFolder("C:\\CD\\Setup"), "C:\\CD\\Setup\\");
  EXPECT_EQ(ArchiveFolder("C:\\CD\\Setup\\"), "C:\\CD\\Setup\\");
  EXPECT_EQ(ArchiveFolder("\\\\server\\share"), "\\\\server\\share\\");
}

TEST_F(DialogsTest, OkRefusesAFolderWithoutTheArchiveAndAcceptsTheRightOne) {
  ScratchFolder wrong("talvenor-dlg-wrong");
  ScratchFolder right("talvenor-dlg-right");
  wrong.Touch("Setup.inf");
  right.Touch("SETUP.ZIP");  // names match without regard to case
  Form8->Show();
  Form8->DirectoryListBox1().SetDirectory(wrong.Path());
  {
    MessageBoxAnswerer answerer;
    Press(Form8, "Button1");
    ASSERT_TRUE(answerer.Seen()) << "a message box tells that the file is missing";
    EXPECT_EQ(answerer.Caption(), "Talvenor Installation");
    EXPECT_EQ(answerer.Text(), "Datei wurde nicht gefunden!");
  }
  EXPECT_EQ(install::TheSession().SourceDir, "X:\\medium\\");
  EXPECT_EQ(Form8->ModalResult(), mrNone);
  EXPECT_TRUE(Showing(Form8));

  Form8->DirectoryListBox1().SetDirectory(right.Path());
  {
    MessageBoxAnswerer answerer;
    Press(Form8, "Button1");
    EXPECT_FALSE(answerer.Seen());
  }
  EXPECT_EQ(install::TheSession().SourceDir, right.Path() + "\\");
  EXPECT_EQ(Form8->ModalResult(), mrOk);
}

// A drive root already ends in its backslash. The ctest fixture dialogs_drive lends the
// tests a drive R: of their own; what is written into its root goes with it.
TEST_F(DialogsTest, ADriveRootThatHoldsTheArchiveGivesNoDoubledBackslash) {
  const std::string root = "R:\\";
  if (::GetDriveTypeA(root.c_str()) == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "R: is lent by the fixture dialogs_drive";
  const std::string archive = root + "Setup.zip";
  ScratchFolder::WriteEmpty(archive);
  ASSERT_TRUE(platform::FileExists(archive));
  Form8->Show();
  Form8->DirectoryListBox1().SetDirectory(root);
  {
    MessageBoxAnswerer answerer;
    Press(Form8, "Button1");
    EXPECT_FALSE(answerer.Seen());
  }
  ::DeleteFileA(archive.c_str());
  EXPECT_EQ(install::TheSession().SourceDir, root);
  EXPECT_EQ(Form8->ModalResult(), mrOk);
}

// Posts a close request to a window after a while, so that a modal run that does not end by
// itself still ends.
class ModalGuard {
 public:
  explicit ModalGuard(HWND wnd) : id_(::SetTimer(nullptr, 0, 5000, &ModalGuard::Fire)) { target_ = wnd; }
  ~ModalGuard() { ::KillTimer(nullptr, id_); }
  ModalGuard(const ModalGuard&) = delete;
  ModalGuard& operator=(const ModalGuard&) = delete;

 private:
  static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) { ::PostMessageA(target_, WM_CLOSE, 0, 0); }
  static HWND target_;
  UINT_PTR id_;
};
HWND ModalGuard::target_ = nullptr;

TEST_F(DialogsTest, ModalRunEndsWithOkWhenTheArchiveIsFound) {
  ScratchFolder medium("talvenor-dlg-modal");
  medium.Touch("Setup.zip");
  Form8->DirectoryListBox1().SetDirectory(medium.Path());
  ModalGuard guard(Form8->Handle());
  ::PostMessageA(Form8->Get<Button>("Button1").Handle(), BM_CLICK, 0, 0);
  const DWORD start = ::GetTickCount();
  EXPECT_EQ(Form8->ShowModal(), mrOk);
  EXPECT_LT(::GetTickCount() - start, 4000u) << "ended by OK, not by the guard";
  EXPECT_FALSE(Showing(Form8));
  EXPECT_EQ(install::TheSession().SourceDir, medium.Path() + "\\");
}

TEST_F(DialogsTest, ClosingTheModalPromptStoresNothing) {
  ScratchFolder medium("talvenor-dlg-close");
  medium.Touch("Setup.zip");
  Form8->DirectoryListBox1().SetDirectory(medium.Path());
  ModalGuard guard(Form8->Handle());
  ::PostMessageA(Form8->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(Form8->ShowModal(), mrCancel);
  EXPECT_FALSE(Showing(Form8));
  EXPECT_EQ(install::TheSession().SourceDir, "X:\\medium\\");
  EXPECT_FALSE(QuitPosted());
}

TEST_F(DialogsTest, AbbrechenInThePromptShowsTheConfirmationAboveIt) {
  Form8->Show();
  Press(Form8, "Button2");
  EXPECT_TRUE(Showing(Form3));
  EXPECT_TRUE(Showing(Form8)) << "the prompt stays open";
  EXPECT_TRUE(::IsWindowEnabled(Form3->Handle()));
  Press(Form3, "Button1");
  EXPECT_FALSE(Showing(Form3));
  EXPECT_TRUE(Showing(Form8));
}

// ---- "&Beenden": these end the program; the quit message is taken away before the loop sees it.

TEST_F(DialogsTest, BeendenDuringTheRunEndsTheProgramWithoutTouchingTheFrame) {
  const LONG_PTR styleBefore = ::GetWindowLongPtrA(Form1->Handle(), GWL_STYLE) & ~LONG_PTR(WS_VISIBLE);
  Form5->Show();
  Form6->Show();
  Press(Form6, "Button2");
  EXPECT_TRUE(Form1->CloseAllowed);
  EXPECT_EQ(Form1->Border(), BorderStyle::Sizeable);
  EXPECT_EQ(::GetWindowLongPtrA(Form1->Handle(), GWL_STYLE) & ~LONG_PTR(WS_VISIBLE), styleBefore);
  EXPECT_TRUE(QuitPosted()) << "closing the main form ends the message loop";
}

TEST_F(DialogsTest, BeendenInTheWizardGivesTheBackgroundAFixedFrameAndEndsTheProgram) {
  ASSERT_EQ(Form1->Border(), BorderStyle::Sizeable);
  Form3->Show();
  Press(Form3, "Button2");
  EXPECT_EQ(Form1->Border(), BorderStyle::Single);
  const LONG_PTR style = ::GetWindowLongPtrA(Form1->Handle(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "a fixed frame";
  EXPECT_TRUE(Form1->CloseAllowed);
  EXPECT_TRUE(QuitPosted()) << "closing the main form ends the message loop";
}

}  // namespace
