#include "form.h"

#include "application.h"
#include "files.h"
#include "scaling.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

namespace forms {

// The design is taken over in screen pixels: this and Build are where designs become windows.
Form::Form(const FormDesign& design)
    : Container(this, design.name, Kind::Custom, nullptr, RECT{}, design.color),
      formName_(design.name),
      design_(Scaled(design)),
      border_(design.border) {
  Control::SetVisible(false);
  Application& app = Application::Instance();
  HWND owner = app.MainForm() ? app.MainForm()->Handle() : app.Handle();
  DWORD exStyle = design_.stayOnTop ? WS_EX_TOPMOST : 0;
  if (border_ == BorderStyle::Dialog) exStyle |= WS_EX_DLGMODALFRAME;
  if (!owner) exStyle |= WS_EX_APPWINDOW;
  RECT r{0, 0, design_.clientWidth, design_.clientHeight};
  if (!design_.outerSize) ::AdjustWindowRectEx(&r, StyleFor(border_), FALSE, exStyle);
  Control::SetBounds(0, 0, r.right - r.left, r.bottom - r.top);
  CreateContainerHandle(owner, design_.caption, StyleFor(border_), exStyle, design_.className);
  if (!app.MainForm()) app.SetMainForm(this);
}

Form::~Form() {
  // Components go first: their windows are children of the form's window.
  components_.clear();
  owned_.clear();
  if (tooltip_) ::DestroyWindow(tooltip_);
  if (Application::Instance().MainForm() == this) Application::Instance().SetMainForm(nullptr);
}

DWORD Form::StyleFor(BorderStyle border) const {
  switch (border) {
    case BorderStyle::None: return WS_POPUP;
    case BorderStyle::Dialog: return WS_POPUP | WS_CAPTION | WS_SYSMENU;
    case BorderStyle::Single: return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    case BorderStyle::Sizeable: return WS_OVERLAPPEDWINDOW;
  }
  return WS_OVERLAPPEDWINDOW;
}

HFONT Form::Font(int height, bool bold) {
  if (height == 0) height = design_.fontHeight;
  auto& font = fonts_[{height, bold}];
  // The designs are laid out for the raster font's average character width of 5 pixels at
  // a height of 11; outline substitutes of the face run wider, so the width is asked for.
  // Heights come scaled, so the width keeps the same proportion at any resolution.
  const int width = (std::abs(height) * 5 + 5) / 11;
  if (!font)
    font.reset(::CreateFontA(height, width, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             "MS Sans Serif"));
  return font.get();
}

// ---- building

Container* Form::ParentFor(const ComponentDesign& d) {
  if (!d.parent || !*d.parent) return this;
  for (auto& c : owned_) {
    auto* container = dynamic_cast<Container*>(c.get());
    if (!container) continue;
    const bool isPage = container->GetKind() == Kind::Page;
    if (container->Name() == d.parent || (isPage && static_cast<Page*>(container)->PageName() == d.parent))
      return container;
  }
  throw std::logic_error(formName_ + ": no container " + d.parent + " for " + d.name);
}

std::unique_ptr<Component> Form::Create(const ComponentDesign& d, Container* parent) {
  switch (d.kind) {
    case Kind::Label: return std::make_unique<Label>(this, d, parent);
    case Kind::Button: return std::make_unique<Button>(this, d, parent);
    case Kind::CheckBox:
    case Kind::RadioButton: return std::make_unique<CheckControl>(this, d, parent);
    case Kind::GroupBox: return std::make_unique<GroupBox>(this, d, parent);
    case Kind::Panel: return std::make_unique<Panel>(this, d, parent);
    case Kind::Bevel: return std::make_unique<Bevel>(this, d, parent);
    case Kind::Image: return std::make_unique<Image>(this, d, parent);
    case Kind::Edit: return std::make_unique<Edit>(this, d, parent);
    case Kind::Memo: return std::make_unique<Memo>(this, d, parent);
    case Kind::ListBox: return std::make_unique<ListBox>(this, d, parent);
    case Kind::ComboBox: return std::make_unique<ComboBox>(this, d, parent);
    case Kind::FileListBox: return std::make_unique<FileListBox>(this, d, parent);
    case Kind::DirectoryListBox: return std::make_unique<DirectoryListBox>(this, d, parent);
    case Kind::DriveComboBox: return std::make_unique<DriveComboBox>(this, d, parent);
    case Kind::Notebook: return std::make_unique<Notebook>(this, d, parent);
    case Kind::Page: {
      auto* notebook = dynamic_cast<Notebook*>(parent);
      if (!notebook) throw std::logic_error(std::string("page ") + d.name + " needs a notebook");
      return std::make_unique<Page>(this, d, notebook);
    }
    case Kind::Timer: return std::make_unique<Timer>(this, d);
    case Kind::Custom: return CreateCustom(d, parent);
  }
  return nullptr;
}

std::unique_ptr<Component> Form::CreateCustom(const ComponentDesign& d, Container*) {
  throw std::logic_error(formName_ + " cannot create " + d.name);
}

void Form::Register(std::unique_ptr<Component> component) {
  if (!component) return;
  if (auto* control = dynamic_cast<Control*>(component.get())) {
    if (control->Parent()) control->Parent()->AddChild(control);
    if (!control->Hint().empty()) UpdateHint(*control);
  }
  if (component->GetKind() != Kind::Page) components_.push_back(component.get());
  owned_.push_back(std::move(component));
}

void Form::Build(const std::vector<ComponentDesign>& table) {
  for (const ComponentDesign& row : table) {
    const ComponentDesign d = Scaled(row);
    auto component = Create(d, ParentFor(d));
    if (auto* control = dynamic_cast<Control*>(component.get())) {
      control->SetAlign(d.flags & (kAlignClient | kAlignRight));
      if (d.hint && *d.hint) control->SetHint(d.hint);
    }
    Register(std::move(component));
  }
  ApplyTabOrder(table);
}

// Windows tab through siblings in z-order; the design's tab order sorts them.
void Form::ApplyTabOrder(const std::vector<ComponentDesign>& table) {
  std::vector<const ComponentDesign*> ordered;
  for (const ComponentDesign& d : table)
    if (d.tabOrder >= 0) ordered.push_back(&d);
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const ComponentDesign* a, const ComponentDesign* b) { return a->tabOrder < b->tabOrder; });
  HWND after = HWND_TOP;
  for (const ComponentDesign* d : ordered) {
    auto* c = dynamic_cast<WinControl*>(FindComponent(d->name));
    if (!c) continue;
    ::SetWindowPos(c->Handle(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = c->Handle();
  }
}

Component* Form::FindComponent(const std::string& name) const {
  for (Component* c : components_)
    if (platform::SameText(c->Name(), name)) return c;
  return nullptr;
}

// ---- hints

void Form::UpdateHint(Control& control) {
  if (!tooltip_) {
    tooltip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, Scale(400));
  }
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  if (control.Handle()) {
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(control.Handle());
  } else {
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = control.Parent()->Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(&control);
    ti.rect = control.Bounds();
  }
  std::string text = control.Hint();
  ti.lpszText = &text[0];
  ::SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  if (!text.empty()) ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

// ---- showing and closing

void Form::Place() {
  if (placed_) return;
  placed_ = true;
  const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
  RECT r;
  ::GetWindowRect(hwnd_, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  RECT around{0, 0, sw, sh};
  Form* main = Application::Instance().MainForm();
  if (design_.placement == Placement::MainFormCenter && main && main != this) around = main->ScreenRect();
  if (design_.placement != Placement::Designed)
    SetTopLeft(around.left + (around.right - around.left - w) / 2, around.top + (around.bottom - around.top - h) / 2);
}

void Form::SetTopLeft(int left, int top) {
  ::SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Form::ScreenRect() const {
  RECT r;
  ::GetWindowRect(hwnd_, &r);
  return r;
}

void Form::SetVisible(bool visible) {
  if (visible) {
    if (Visible() && ::IsWindowVisible(hwnd_)) {
      ::SetForegroundWindow(hwnd_);
      return;
    }
    Control::SetVisible(true);
    Place();
    FormShow();
    ::ShowWindow(hwnd_, design_.maximised ? SW_SHOWMAXIMIZED : SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    if (!::GetFocus() || !::IsChild(hwnd_, ::GetFocus())) {
      if (HWND first = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE)) ::SetFocus(first);
    }
  } else {
    Control::SetVisible(false);
    ::ShowWindow(hwnd_, SW_HIDE);
  }
}

void Form::Show() { SetVisible(true); }
void Form::Hide() { SetVisible(false); }

namespace {
BOOL CALLBACK CollectUsableWindow(HWND wnd, LPARAM lp) {
  auto* list = reinterpret_cast<std::vector<HWND>*>(lp);
  if (::IsWindowVisible(wnd) && ::IsWindowEnabled(wnd)) list->push_back(wnd);
  return TRUE;
}
}  // namespace

int Form::ShowModal() {
  Application& app = Application::Instance();
  // The windows that are usable now are disabled while the modal form runs.
  std::vector<HWND> disabled;
  const DWORD thread = ::GetCurrentThreadId();
  ::EnumThreadWindows(thread, &CollectUsableWindow, reinterpret_cast<LPARAM>(&disabled));
  for (HWND wnd : disabled) ::EnableWindow(wnd, FALSE);
  const bool raise = !design_.stayOnTop && TopMostWindowShown();
  if (raise) ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  modal_ = true;
  modalResult_ = mrNone;
  Show();
  while (modalResult_ == mrNone && app.HandleMessage()) {
  }
  if (app.Terminated() && modalResult_ == mrNone) modalResult_ = mrCancel;
  modal_ = false;
  for (HWND wnd : disabled)
    if (::IsWindow(wnd)) ::EnableWindow(wnd, TRUE);
  Hide();
  if (raise) ::SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return modalResult_;
}

void Form::Close() {
  bool canClose = true;
  Application::Instance().Dispatch([&] { canClose = FormCloseQuery(); });
  if (!canClose) return;
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (Application::Instance().MainForm() == this) {
    Application::Instance().Terminate();
  }
  Hide();
}

void Form::SetBorderStyle(BorderStyle border) {
  border_ = border;
  LONG_PTR style = ::GetWindowLongPtrA(hwnd_, GWL_STYLE);
  style &= ~LONG_PTR(WS_OVERLAPPEDWINDOW | WS_POPUP | WS_CAPTION);
  style |= StyleFor(border);
  ::SetWindowLongPtrA(hwnd_, GWL_STYLE, style);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::PaintSelf(HDC dc, const RECT& client) {
  Container::PaintSelf(dc, client);
  FormPaint(dc);
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE: Close(); return 0;
    case WM_TIMER:
      for (Component* c : components_) {
        auto* timer = dynamic_cast<Timer*>(c);
        if (timer && timer->Id() == wp) {
          Application::Instance().Dispatch([timer] { timer->Fire(); });
          break;
        }
      }
      return 0;
    case WM_COMMAND:
      if (lp == 0) return 0;  // IDOK and IDCANCEL from dialog navigation
      break;
    default: break;
  }
  return Container::HandleMessage(msg, wp, lp);
}

}  // namespace forms
