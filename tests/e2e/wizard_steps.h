// Steps through the wizard of a running setup as a user takes them: which page is shown,
// pressing the visible buttons, the language list, the folder list of the target-folder
// dialog, the way from the welcome page through the run to the end. Shared by the wizard,
// language and installation tests.
#pragma once

#include "driver.h"
#include "e2e_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace e2e {

// A file of the source tree, such as "medium\\german.lng".
inline std::string SourceFile(const std::string& relative) { return std::string(kSourceFolder) + "\\" + relative; }

// The name of the wizard page shown: the visible page window's text.
inline std::string VisiblePage(HWND wizard) {
  HWND page = FindChild(wizard, "TPage", "", true);
  return page ? Text(page) : std::string();
}

inline bool WaitPage(HWND wizard, const std::string& name) {
  return WaitUntil([&] { return VisiblePage(wizard) == name; }, kWaitMs);
}

inline bool WaitCaption(HWND form, const std::string& caption) {
  return WaitUntil([&] { return Text(form) == caption; }, kWaitMs);
}

// Clicks the visible button of that caption; false when none appears.
inline bool Press(HWND form, const std::string& caption) {
  HWND button = WaitChild(form, "Button", caption, kWaitMs);
  if (!button) return false;
  Click(button);
  return true;
}

// The texts of a list's entries in the ANSI code page. They are asked for in UTF-16: across
// processes Wine hands the A messages' list texts over in UTF-16 as well.
inline std::vector<std::string> ItemTexts(HWND wnd, UINT countMsg, UINT lengthMsg, UINT textMsg) {
  std::vector<std::string> items;
  const LRESULT count = ::SendMessageW(wnd, countMsg, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessageW(wnd, lengthMsg, WPARAM(i), 0);
    std::wstring wide(size_t(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT got = ::SendMessageW(wnd, textMsg, WPARAM(i), reinterpret_cast<LPARAM>(&wide[0]));
    wide.resize(size_t(got > 0 ? got : 0));
    std::string text(wide.size() * 2 + 1, '\0');
    const int n =
        ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), &text[0], int(text.size()), nullptr, nullptr);
    text.resize(size_t(n > 0 ? n : 0));
    items.push_back(text);
  }
  return items;
}

inline std::vector<std::string> ComboItems(HWND combo) {
  return ItemTexts(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

inline std::string ComboSelection(HWND combo) {
  const LRESULT index = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (index < 0) return {};
  const auto items = ComboItems(combo);
  return size_t(index) < items.size() ? items[size_t(index)] : std::string();
}

// Picks an entry of a drop-down list as the user does: the list's selection, and the
// notification its owner gets.
inline bool PickComboItem(HWND combo, const std::string& text) {
  const auto items = ComboItems(combo);
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] != text) continue;
    ::SendMessageA(combo, CB_SETCURSEL, WPARAM(i), 0);
    ::PostMessageA(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    return true;
  }
  return false;
}

inline std::vector<std::string> ListItems(HWND list) { return ItemTexts(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT); }

// Double-clicks the entry of a list box that has that text (without regard to case); false
// when the list has none.
inline bool DoubleClickListItem(HWND list, const std::string& text) {
  const auto items = ListItems(list);
  for (size_t i = 0; i < items.size(); ++i) {
    if (_stricmp(items[i].c_str(), text.c_str()) != 0) continue;
    ::SendMessageA(list, LB_SETTOPINDEX, WPARAM(i), 0);
    const LRESULT top = ::SendMessageA(list, LB_GETTOPINDEX, 0, 0);
    const LRESULT height = ::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    const LPARAM at = MAKELPARAM(6, int((LRESULT(i) - top) * height + height / 2));
    ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(list, WM_LBUTTONUP, 0, at);
    ::PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageA(list, WM_LBUTTONUP, 0, at);
    return true;
  }
  return false;
}

// The Program Files folder as this prefix's registry holds it.
inline std::string ProgramFilesDir() {
  return RegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir").value_or("");
}

// The InstalledFiles section of the copied Setup.inf, in its numbered order.
inline std::vector<std::string> InstalledFiles(const std::string& copy) {
  std::vector<std::string> files;
  const int count = std::atoi(IniString(copy, "InstalledFiles", "Count", "0").c_str());
  for (int i = 0; i < count; ++i) files.push_back(IniString(copy, "InstalledFiles", std::to_string(i)));
  return files;
}

inline std::string ShellFolderPath(const char* name) {
  return RegString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name)
      .value_or("");
}

inline std::string ProgramsMenu() { return ShellFolderPath("Programs"); }

inline std::string WindowsFolder() {
  char buffer[MAX_PATH] = "";
  ::GetWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

// The uninstaller that a run copies into the Windows folder under a test's own name, removed
// at the end.
struct CopiedUninstaller {
  const std::string path;
  explicit CopiedUninstaller(const std::string& name) : path(WindowsFolder() + "\\" + name) {}
  ~CopiedUninstaller() { ::DeleteFileA(path.c_str()); }
  CopiedUninstaller(const CopiedUninstaller&) = delete;
  CopiedUninstaller& operator=(const CopiedUninstaller&) = delete;
};

// Everything an installation of a test leaves behind (the work folder with the target
// folder, the program entry and uninstall keys below HKLM, the program group), removed
// before and after it.
class InstallationTraces {
 public:
  InstallationTraces(std::string work, std::string programEntry, std::string uninstallKey, std::string group)
      : work_(std::move(work)),
        programEntry_(std::move(programEntry)),
        uninstallKey_(std::move(uninstallKey)),
        group_(std::move(group)) {
    Remove();
  }
  ~InstallationTraces() { Remove(); }
  InstallationTraces(const InstallationTraces&) = delete;
  InstallationTraces& operator=(const InstallationTraces&) = delete;

 private:
  void Remove() const {
    RemoveTree(work_);
    RegDeleteTree(HKEY_LOCAL_MACHINE, programEntry_);
    RegDeleteTree(HKEY_LOCAL_MACHINE, uninstallKey_);
    const std::string programs = ProgramsMenu();
    if (!programs.empty() && !group_.empty()) RemoveTree(programs + "\\" + group_);
  }

  std::string work_, programEntry_, uninstallKey_, group_;
};

// On the folder page: the target folder typed into the target-folder dialog, then "&Weiter>".
inline void ChooseTargetFolder(const Process& setup, HWND wizard, const std::string& target) {
  ASSERT_TRUE(WaitPage(wizard, "Dir"));
  ASSERT_TRUE(Press(wizard, "S&uchen..."));
  HWND dialog = setup.WaitWindow("TForm4");
  ASSERT_NE(dialog, nullptr);
  SetText(FindChild(dialog, "Edit"), target);
  ASSERT_TRUE(Press(dialog, "&Ok"));
  ASSERT_TRUE(setup.WaitHidden("TForm4"));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
}

// From the welcome page to the ready page, with the target folder typed into the
// target-folder dialog.
inline void WalkToTheReadyPage(const Process& setup, HWND wizard, const std::string& target) {
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "license"));
  ASSERT_TRUE(Press(wizard, "&Akzeptieren>"));
  ASSERT_NO_FATAL_FAILURE(ChooseTargetFolder(setup, wizard, target));
  ASSERT_TRUE(WaitPage(wizard, "ready"));
}

// From the welcome page to the start of the run: the ready page's "&Weiter>" opens the
// progress window.
inline void WalkToTheRun(const Process& setup, HWND wizard, const std::string& target) {
  ASSERT_NO_FATAL_FAILURE(WalkToTheReadyPage(setup, wizard, target));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  ASSERT_TRUE(setup.WaitHidden("TForm2"));
  ASSERT_NE(setup.WaitWindow("TForm5"), nullptr);
}

inline bool FinishPageShown(HWND wizard) {
  return Visible(wizard) && VisiblePage(wizard) == "ende" && FindChild(wizard, "Button", "&Ende", true);
}

// Waits for the finish page of a run that must end without any message box.
inline void WaitFinishWithoutMessage(const Process& setup, HWND wizard, int timeoutMs) {
  ASSERT_TRUE(WaitUntil([&] { return FinishPageShown(wizard) || FindMessageBox(setup); }, timeoutMs));
  const auto box = FindMessageBox(setup);
  ASSERT_FALSE(box) << "message box: " << box->text;
}

// "&Ende" without the autostart link (the test's Setup.inf names no program for it): setup ends.
inline void Finish(Process& setup, HWND wizard) {
  HWND autostart = FindChild(wizard, "Button", "Talvenor mit Windows im Sleep-Modus starten");
  ASSERT_NE(autostart, nullptr);
  if (::SendMessageA(autostart, BM_GETCHECK, 0, 0) == BST_CHECKED) Click(autostart);
  ASSERT_TRUE(WaitUntil([&] { return ::SendMessageA(autostart, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
  ASSERT_TRUE(Press(wizard, "&Ende"));
  EXPECT_TRUE(setup.WaitExit());
}

}  // namespace e2e
