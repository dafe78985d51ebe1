#include "application.h"
#include "form.h"

#include <gtest/gtest.h>

#include <string>

using namespace forms;

namespace {

const FormDesign kDesign{"TFormTest", "FormTest", "Test",   300, 200,  BorderStyle::Dialog, Placement::ScreenCenter,
                         false,       false,      kBtnFace, -11, false};

class TestForm : public Form {
 public:
  TestForm() : Form(kDesign) {
    Build({
        {Kind::Label, "Label1", "", 8, 8, 100, 13, "Hallo", 0, -1, 0, "", nullptr, 0},
        {Kind::Notebook, "Notebook1", "", 0, 30, 300, 140, "", 0, -1, 0, "", nullptr, 0},
        {Kind::Page, "Welcome", "Notebook1", 0, 0, 0, 0, "Welcome", 0, -1, 0, "", nullptr, 0},
        {Kind::Button, "Button1", "Welcome", 8, 8, 75, 24, "&Weiter", 0, 0, 0, "weiter", nullptr, 0},
        {Kind::Page, "Dir", "Notebook1", 0, 0, 0, 0, "Dir", 0, -1, 0, "", nullptr, 0},
        {Kind::Edit, "Edit1", "Dir", 8, 8, 100, 21, "C:\\", 0, 0, 0, "", nullptr, 0},
        {Kind::Memo, "memo1", "", 8, 100, 100, 50, "eins\nzwei\ndrei", kReadOnly, -1, 0, "", nullptr, 0},
        {Kind::ComboBox, "Combo", "", 120, 100, 100, 21, "a\nb", 0, -1, 0, "", nullptr, 0},
        {Kind::DriveComboBox, "Drives", "", 120, 130, 100, 21, "", 0, -1, 0, "", nullptr, 0},
        {Kind::Timer, "Timer1", "", 0, 0, 0, 0, "", kDisabled, -1, 0, "", nullptr, 100},
    });
  }
  bool allowClose = false;
  int closeQueries = 0;

 protected:
  bool FormCloseQuery() override {
    ++closeQueries;
    return allowClose;
  }
};

TEST(Forms, ComponentsInCreationOrderWithoutPagesAndFoundByNameInAnyCase) {
  TestForm form;
  std::vector<std::string> names;
  for (Component* c : form.Components()) names.push_back(c->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Label1", "Notebook1", "Button1", "Edit1", "memo1", "Combo", "Drives",
                                             "Timer1"}));
  EXPECT_EQ(&form.Get<Button>("button1"), form.FindComponent("Button1"));
  EXPECT_EQ(form.FindComponent("Welcome"), nullptr);
  EXPECT_THROW(form.Get<Label>("Button1"), std::logic_error);
}

TEST(Forms, TextPropertiesByKind) {
  TestForm form;
  auto& label = form.Get<Label>("Label1");
  label.SetTextProp("Caption", "Hello");
  EXPECT_EQ(label.Caption(), "Hello");
  label.SetTextProp("Caption", "");  // an empty value changes nothing
  EXPECT_EQ(label.Caption(), "Hello");
  auto& edit = form.Get<Edit>("Edit1");
  EXPECT_FALSE(edit.HasTextProp("Caption"));
  edit.SetTextProp("Caption", "X");
  EXPECT_EQ(edit.Text(), "C:\\");
  EXPECT_TRUE(edit.HasTextProp("Hint"));
  auto& timer = form.Get<Timer>("Timer1");
  EXPECT_FALSE(timer.HasTextProp("Hint"));
  EXPECT_EQ(form.Get<Button>("Button1").Hint(), "weiter");
}

TEST(Forms, LinesAndItems) {
  TestForm form;
  auto& memo = form.Get<Memo>("memo1");
  ASSERT_NE(memo.Lines(), nullptr);
  EXPECT_EQ(memo.Lines()->Count(), 3);
  memo.Lines()->Set(1, "");
  EXPECT_EQ(memo.Text(), "eins\r\n\r\ndrei");
  auto& combo = form.Get<ComboBox>("Combo");
  ASSERT_NE(combo.Items(), nullptr);
  combo.Items()->Set(1, "B");
  EXPECT_EQ(combo.Get(1), "B");
  // The drive selector is no plain combo box.
  EXPECT_EQ(form.Get<DriveComboBox>("Drives").Items(), nullptr);
}

TEST(Forms, NotebookActivatesPagesByNameWithoutRegardToCase) {
  TestForm form;
  auto& notebook = form.Get<Notebook>("Notebook1");
  EXPECT_EQ(notebook.ActivePage()->PageName(), "Welcome");
  notebook.SetActivePage("dir");
  EXPECT_EQ(notebook.ActivePage()->PageName(), "Dir");
  EXPECT_FALSE(form.Get<Button>("Button1").Showing());
  notebook.SetActivePage("nosuchpage");
  EXPECT_EQ(notebook.ActivePage()->PageName(), "Dir");
}

TEST(Forms, CloseAsksTheCloseQuery) {
  TestForm mainForm;  // the first form is the main form; closing it would end the program
  TestForm form;
  form.Show();
  EXPECT_TRUE(::IsWindowVisible(form.Handle()));
  ::SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(form.closeQueries, 1);
  EXPECT_TRUE(::IsWindowVisible(form.Handle()));
  form.allowClose = true;
  form.Close();
  EXPECT_FALSE(::IsWindowVisible(form.Handle()));
}

TEST(Forms, ShowModalRunsUntilAModalResultAndTimersFire) {
  TestForm mainForm;
  TestForm form;
  auto& timer = form.Get<Timer>("Timer1");
  int fired = 0;
  timer.OnTimer = [&] {
    ++fired;
    timer.SetEnabled(false);
    form.SetModalResult(mrOk);
  };
  timer.SetEnabled(true);
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(::IsWindowVisible(form.Handle()));
}

const FormDesign kTopMostDesign{"TFormTopMost",          "FormTopMost", "Oben", 200,      100, BorderStyle::Dialog,
                                Placement::ScreenCenter, true,          false,  kBtnFace, -11, false};

class TopMostForm : public Form {
 public:
  TopMostForm() : Form(kTopMostDesign) { Build({}); }
};

// Whether `upper` lies above `lower` in the z-order of the top-level windows.
bool Above(HWND upper, HWND lower) {
  for (HWND wnd = ::GetWindow(upper, GW_HWNDNEXT); wnd; wnd = ::GetWindow(wnd, GW_HWNDNEXT)) {
    if (wnd == lower) return true;
  }
  return false;
}

bool IsTopMost(HWND wnd) { return (::GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

HWND gTopMost = nullptr;
int gBoxAboveTopMost = -1;

BOOL CALLBACK FindBox(HWND wnd, LPARAM lp) {
  char name[16] = "";
  ::GetClassNameA(wnd, name, sizeof name);
  if (std::string(name) != "#32770" || !::IsWindowVisible(wnd)) return TRUE;
  *reinterpret_cast<HWND*>(lp) = wnd;
  return FALSE;
}

// A thread timer, run by the message box's own loop: where the box lies, then "OK".
void CALLBACK CheckAndCloseBox(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  gBoxAboveTopMost = Above(box, gTopMost) ? 1 : 0;
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST(Forms, BoxesAndModalFormsComeOutAboveTheAlwaysOnTopWindows) {
  TestForm mainForm;
  mainForm.Show();
  TopMostForm topMost;
  topMost.Show();
  mainForm.Show();  // the active window, which owns the box, is an ordinary one
  gTopMost = topMost.Handle();

  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &CheckAndCloseBox);
  Application::Instance().MessageBox("Steht oben?");
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(gBoxAboveTopMost, 1);
  EXPECT_TRUE(IsTopMost(topMost.Handle()));

  TestForm dialog;
  auto& check = dialog.Get<Timer>("Timer1");
  bool dialogAbove = false;
  check.OnTimer = [&] {
    check.SetEnabled(false);
    dialogAbove = Above(dialog.Handle(), topMost.Handle());
    dialog.SetModalResult(mrOk);
  };
  check.SetEnabled(true);
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_TRUE(dialogAbove);
  EXPECT_TRUE(IsTopMost(topMost.Handle()));
}

}  // namespace
