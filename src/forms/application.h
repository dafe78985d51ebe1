// The application object: title, main form, the one message loop and the error display.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace forms {

class Form;

class Application {
 public:
  static Application& Instance();

  // The title is the program's name in the task bar: the text of the application's own
  // window, which owns the main form. Setting it makes that window.
  void SetTitle(const std::string& title);
  const std::string& Title() const { return title_; }
  HWND Handle() const { return handle_; }

  void SetMainForm(Form* form) { mainForm_ = form; }
  Form* MainForm() const { return mainForm_; }
  HWND MainWindow() const;

  // Shows the main form and runs the message loop until the program is terminated.
  void Run();
  // Handles the messages that are waiting, then returns (used during long operations).
  void ProcessMessages();
  // Handles one message, waiting for it; false once the program is terminated.
  bool HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // A message box captioned with the application title, owned by the active form.
  int MessageBox(const std::string& text, UINT flags = MB_OK, HWND owner = nullptr) const;
  // The general error display: the exception's text in an error box.
  void ShowException(const std::exception& e) const;
  // Runs an event handler; an error that escapes it is shown and stops only that handler.
  void Dispatch(const std::function<void()>& handler) const;

 private:
  Application() = default;
  bool TranslateForDialogs(MSG& msg);

  static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

  std::string title_;
  HWND handle_ = nullptr;
  Form* mainForm_ = nullptr;
  bool terminated_ = false;
};

// Whether one of the program's always-on-top windows is shown. A message box or modal form
// opened then goes on top as well: Windows would otherwise open it behind them.
bool TopMostWindowShown();

// While it lives, a message box that this thread opens is put on top of the always-on-top
// windows when it is activated (the box's own MB_TOPMOST is not honoured everywhere).
class BoxesOnTop {
 public:
  BoxesOnTop();
  BoxesOnTop(const BoxesOnTop&) = delete;
  BoxesOnTop& operator=(const BoxesOnTop&) = delete;
  ~BoxesOnTop();

 private:
  HHOOK hook_ = nullptr;
};

// Shows the hourglass while it lives, then the previous cursor.
class BusyCursor {
 public:
  BusyCursor() : old_(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  ~BusyCursor() { ::SetCursor(old_); }

 private:
  HCURSOR old_;
};

}  // namespace forms
