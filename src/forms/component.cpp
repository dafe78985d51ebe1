#include "component.h"

#include "application.h"
#include "error.h"
#include "files.h"
#include "form.h"

namespace forms {

namespace {
const char kControlProp[] = "TalvenorControl";
int nextControlId = 1000;
}  // namespace

COLORREF ResolveColor(COLORREF color) { return (color & 0x80000000u) ? ::GetSysColor(int(color & 0xFF)) : color; }

// ---- Component

Component::Component(Form* owner, std::string name, Kind kind) : owner_(owner), name_(std::move(name)), kind_(kind) {}

bool Component::HasTextProp(const std::string&) const { return false; }
void Component::SetTextProp(const std::string&, const std::string&) {}
std::string Component::TextProp(const std::string&) const { return {}; }

// ---- Control

Control::Control(Form* owner, std::string name, Kind kind, Container* parent, RECT bounds)
    : Component(owner, std::move(name), kind), bounds_(bounds), parent_(parent) {}

void Control::SetBounds(int left, int top, int width, int height) { bounds_ = {left, top, left + width, top + height}; }

void Control::SetVisible(bool visible) { visible_ = visible; }
void Control::SetEnabled(bool enabled) { enabled_ = enabled; }

bool Control::Showing() const {
  for (const Control* c = this; c; c = c->Parent())
    if (!c->Visible()) return false;
  return true;
}

void Control::SetHint(const std::string& hint) {
  hint_ = hint;
  if (OwnerForm()) OwnerForm()->UpdateHint(*this);
}

bool Control::HasTextProp(const std::string& prop) const {
  return platform::SameText(prop, "Hint") || (HasCaption() && platform::SameText(prop, "Caption"));
}

void Control::SetTextProp(const std::string& prop, const std::string& value) {
  if (value.empty() || !HasTextProp(prop)) return;
  if (platform::SameText(prop, "Hint"))
    SetHint(value);
  else
    SetCaption(value);
}

std::string Control::TextProp(const std::string& prop) const {
  if (platform::SameText(prop, "Hint")) return hint_;
  if (HasCaption() && platform::SameText(prop, "Caption")) return Caption();
  return {};
}

// ---- WinControl

WinControl::~WinControl() {
  if (hwnd_ && ::IsWindow(hwnd_)) {
    ::RemovePropA(hwnd_, kControlProp);
    ::DestroyWindow(hwnd_);
  }
}

WinControl* WinControl::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<WinControl*>(::GetPropA(hwnd, kControlProp)) : nullptr;
}

void WinControl::CreateHandle(const char* windowClass, const std::string& text, DWORD style, DWORD exStyle) {
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (visible_) style |= WS_VISIBLE;
  if (!enabled_) style |= WS_DISABLED;
  hwnd_ = ::CreateWindowExA(exStyle, windowClass, text.c_str(), style, Left(), Top(), Width(), Height(),
                            Parent()->Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId++)),
                            ::GetModuleHandleA(nullptr), nullptr);
  if (!hwnd_) platform::ThrowLastError("Fenster " + Name() + " kann nicht erstellt werden");
  ::SetPropA(hwnd_, kControlProp, this);
}

void WinControl::ApplyFont(HFONT font) {
  if (hwnd_) ::SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void WinControl::SetBounds(int left, int top, int width, int height) {
  Control::SetBounds(left, top, width, height);
  if (hwnd_) ::MoveWindow(hwnd_, left, top, width, height, TRUE);
}

void WinControl::SetVisible(bool visible) {
  Control::SetVisible(visible);
  if (hwnd_) ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void WinControl::SetEnabled(bool enabled) {
  Control::SetEnabled(enabled);
  if (hwnd_) ::EnableWindow(hwnd_, enabled);
}

void WinControl::SetFocus() {
  if (hwnd_) ::SetFocus(hwnd_);
}

bool WinControl::Focused() const { return hwnd_ && ::GetFocus() == hwnd_; }

std::string WinControl::WindowText() const {
  if (!hwnd_) return {};
  const int n = ::GetWindowTextLengthA(hwnd_);
  std::string text(size_t(n) + 1, '\0');
  const int got = ::GetWindowTextA(hwnd_, &text[0], n + 1);
  text.resize(size_t(got));
  return text;
}

void WinControl::SetWindowText(const std::string& text) {
  if (hwnd_) ::SetWindowTextA(hwnd_, text.c_str());
}

// ---- GraphicControl

void GraphicControl::SetBounds(int left, int top, int width, int height) {
  Invalidate();
  Control::SetBounds(left, top, width, height);
  Invalidate();
}

void GraphicControl::SetVisible(bool visible) {
  Control::SetVisible(visible);
  if (Parent() && Parent()->Handle()) ::InvalidateRect(Parent()->Handle(), &bounds_, TRUE);
}

void GraphicControl::Invalidate() {
  if (Parent() && Parent()->Handle()) ::InvalidateRect(Parent()->Handle(), &bounds_, TRUE);
}

void GraphicControl::Repaint() {
  if (!Parent() || !Parent()->Handle() || !Showing()) return;
  platform::WindowDc dc(Parent()->Handle());
  const int saved = ::SaveDC(dc.get());
  ::IntersectClipRect(dc.get(), bounds_.left, bounds_.top, bounds_.right, bounds_.bottom);
  Paint(dc.get(), bounds_);
  ::RestoreDC(dc.get(), saved);
}

// ---- Container

void RegisterContainerClass(const char* className, UINT classStyle) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (::GetClassInfoExA(::GetModuleHandleA(nullptr), className, &wc)) return;
  wc.cbSize = sizeof wc;
  wc.style = classStyle | CS_DBLCLKS;
  wc.lpfnWndProc = &Container::WindowProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = className;
  if (!::RegisterClassExA(&wc)) platform::ThrowLastError(std::string("Fensterklasse ") + className);
}

Container::Container(Form* owner, std::string name, Kind kind, Container* parent, RECT bounds, COLORREF color)
    : WinControl(owner, std::move(name), kind, parent, bounds), color_(color) {}

void Container::SetColor(COLORREF color) {
  color_ = color;
  brush_.reset();
  if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

HBRUSH Container::BackgroundBrush() {
  if (!brush_) brush_.reset(::CreateSolidBrush(ResolveColor(color_)));
  return brush_.get();
}

void Container::CreateContainerHandle(HWND parentWindow, const std::string& text, DWORD style, DWORD exStyle,
                                      const char* windowClass) {
  RegisterContainerClass(windowClass);
  const bool child = (style & WS_CHILD) != 0;
  if (child) {
    if (visible_) style |= WS_VISIBLE;
    if (!enabled_) style |= WS_DISABLED;
  }
  hwnd_ = ::CreateWindowExA(exStyle | WS_EX_CONTROLPARENT, windowClass, text.c_str(), style | WS_CLIPCHILDREN, Left(),
                            Top(), Width(), Height(), parentWindow,
                            child ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId++)) : nullptr,
                            ::GetModuleHandleA(nullptr), this);
  if (!hwnd_) platform::ThrowLastError("Fenster " + Name() + " kann nicht erstellt werden");
}

LRESULT CALLBACK Container::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Container*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetPropA(hwnd, kControlProp, static_cast<WinControl*>(self));
  }
  auto* self = dynamic_cast<Container*>(WinControl::FromHandle(hwnd));
  if (!self) return ::DefWindowProcA(hwnd, msg, wp, lp);
  // No exception leaves the window procedure.
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (const std::exception& e) {
    Application::Instance().ShowException(e);
  } catch (...) {
  }
  return 0;
}

LRESULT Container::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      platform::PaintGuard paint(hwnd_);
      RECT client;
      ::GetClientRect(hwnd_, &client);
      PaintSelf(paint.dc(), client);
      PaintGraphicChildren(paint.dc());
      return 0;
    }
    case WM_COMMAND:
      if (lp) {
        if (WinControl* c = FromHandle(reinterpret_cast<HWND>(lp))) {
          const WORD code = HIWORD(wp);
          Application::Instance().Dispatch([c, code] { c->Notify(code); });
        }
      }
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (WinControl* c = FromHandle(reinterpret_cast<HWND>(lp))) {
        if (HBRUSH b = c->ControlColor(reinterpret_cast<HDC>(wp))) return reinterpret_cast<LRESULT>(b);
      }
      ::SetBkColor(reinterpret_cast<HDC>(wp), ResolveColor(color_));
      return reinterpret_cast<LRESULT>(BackgroundBrush());
    case WM_SIZE:
      Realign();
      ::InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    case WM_VKEYTOITEM:
      if (LOWORD(wp) == VK_RETURN) {
        if (WinControl* c = FromHandle(reinterpret_cast<HWND>(lp))) {
          Application::Instance().Dispatch([c] { c->Notify(LBN_DBLCLK); });
          return -2;
        }
      }
      return -1;
    default: return ::DefWindowProcA(hwnd_, msg, wp, lp);
  }
}

void Container::Realign() {
  RECT client;
  ::GetClientRect(hwnd_, &client);
  for (Control* child : children_) {
    if (child->Align() & kAlignClient)
      child->SetBounds(0, 0, client.right, client.bottom);
    else if (child->Align() & kAlignRight)
      child->SetBounds(client.right - child->Width(), 0, child->Width(), client.bottom);
  }
}

void Container::PaintSelf(HDC dc, const RECT& client) { ::FillRect(dc, &client, BackgroundBrush()); }

void Container::PaintGraphicChildren(HDC dc) {
  for (Control* child : children_) {
    auto* g = dynamic_cast<GraphicControl*>(child);
    if (!g || !g->Visible()) continue;
    const RECT& b = g->Bounds();
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, b.left, b.top, b.right, b.bottom);
    g->Paint(dc, b);
    ::RestoreDC(dc, saved);
  }
}

}  // namespace forms
