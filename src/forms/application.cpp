#include "application.h"

#include "form.h"

namespace forms {

Application& Application::Instance() {
  static Application app;
  return app;
}

HWND Application::MainWindow() const { return mainForm_ ? mainForm_->Handle() : nullptr; }

// Task bars list the visible windows that have no owner, under their text. The forms are
// owned, so the one entry is this window: visible, but of no size.
void Application::SetTitle(const std::string& title) {
  title_ = title;
  if (handle_) {
    ::SetWindowTextA(handle_, title_.c_str());
    return;
  }
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA cls{};
  cls.lpfnWndProc = &Application::WindowProc;
  cls.hInstance = instance;
  cls.hIcon = ::LoadIconA(instance, "MAINICON");
  cls.lpszClassName = "TalvenorApplication";
  ::RegisterClassA(&cls);
  handle_ = ::CreateWindowExA(0, cls.lpszClassName, title_.c_str(), WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                              nullptr, nullptr, instance, nullptr);
}

// Closing the task-bar entry asks the main form to close: destroying this window would take
// every form with it.
LRESULT CALLBACK Application::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) {
    if (HWND main = Instance().MainWindow()) ::PostMessageA(main, WM_CLOSE, 0, 0);
    return 0;
  }
  return ::DefWindowProcA(wnd, msg, wp, lp);
}

void Application::Run() {
  if (handle_) ::ShowWindow(handle_, SW_SHOWNOACTIVATE);
  if (mainForm_) mainForm_->Show();
  while (HandleMessage()) {
  }
}

// Keyboard navigation (tab, mnemonics) inside the form that holds the focus.
bool Application::TranslateForDialogs(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND top = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (!top || !dynamic_cast<Form*>(WinControl::FromHandle(top))) return false;
  return ::IsDialogMessageA(top, &msg) != 0;
}

bool Application::HandleMessage() {
  if (terminated_) return false;
  MSG msg;
  const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
  if (got <= 0) {
    terminated_ = true;
    return false;
  }
  if (!TranslateForDialogs(msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return !terminated_;
}

void Application::ProcessMessages() {
  MSG msg;
  while (!terminated_ && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    if (!TranslateForDialogs(msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
}

void Application::Terminate() {
  if (!terminated_) ::PostQuitMessage(0);
}

int Application::MessageBox(const std::string& text, UINT flags, HWND owner) const {
  if (!owner) owner = ::GetActiveWindow();
  BoxesOnTop onTop;
  return ::MessageBoxA(owner, text.c_str(), title_.c_str(), flags);
}

void Application::ShowException(const std::exception& e) const { MessageBox(e.what(), MB_OK | MB_ICONSTOP); }

void Application::Dispatch(const std::function<void()>& handler) const {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowException(e);
  }
}

namespace {
BOOL CALLBACK FindTopMost(HWND wnd, LPARAM lp) {
  const bool topMost = (::GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (!topMost || !::IsWindowVisible(wnd)) return TRUE;
  *reinterpret_cast<bool*>(lp) = true;
  return FALSE;
}
}  // namespace

bool TopMostWindowShown() {
  bool shown = false;
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindTopMost, reinterpret_cast<LPARAM>(&shown));
  return shown;
}

namespace {
LRESULT CALLBACK RaiseActivatedBox(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_ACTIVATE) {
    const HWND wnd = reinterpret_cast<HWND>(wp);
    char className[8] = "";
    ::GetClassNameA(wnd, className, sizeof className);
    if (std::string(className) == "#32770")
      ::SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

BoxesOnTop::BoxesOnTop() {
  if (TopMostWindowShown()) hook_ = ::SetWindowsHookExA(WH_CBT, &RaiseActivatedBox, nullptr, ::GetCurrentThreadId());
}

BoxesOnTop::~BoxesOnTop() {
  if (hook_) ::UnhookWindowsHookEx(hook_);
}

}  // namespace forms
