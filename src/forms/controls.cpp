#include "controls.h"

#include "application.h"
#include "error.h"
#include "files.h"
#include "form.h"
#include "scaling.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>

namespace forms {

namespace {

RECT BoundsOf(const ComponentDesign& d) { return {d.left, d.top, d.left + d.width, d.top + d.height}; }

// Creation flags shared by every windowed kind.
template <typename T>
void ApplyDesignState(T& control, const ComponentDesign& d) {
  if (d.flags & kHidden) control.Control::SetVisible(false);
  if (d.flags & kDisabled) control.Control::SetEnabled(false);
}

std::vector<std::string> SplitLines(const char* text) {
  std::vector<std::string> lines;
  if (!text || !*text) return lines;
  std::string s(text);
  size_t start = 0;
  for (;;) {
    const size_t nl = s.find('\n', start);
    lines.push_back(s.substr(start, nl - start));
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return lines;
}

}  // namespace

// ---- Label

Label::Label(Form* owner, const ComponentDesign& d, Container* parent)
    : WinControl(owner, d.name, Kind::Label, parent, BoundsOf(d)),
      autoSize_((d.flags & kAutoSize) != 0),
      wordWrap_((d.flags & kWordWrap) != 0),
      windowTextColor_((d.flags & kWindowTextColor) != 0) {
  ApplyDesignState(*this, d);
  CreateHandle("STATIC", d.text ? d.text : "", SS_NOTIFY | ((d.flags & kWordWrap) ? SS_LEFT : SS_LEFTNOWORDWRAP));
  ApplyFont(owner->Font(d.fontHeight, (d.flags & kBold) != 0));
  if (autoSize_) FitToText();
  if (wordWrap_) ClipToText();
}

// The static control's own WM_SETTEXT paints the new text at once, before an automatic size
// is fitted to it; the text is stored without that paint, and the label is painted once, at
// its new size, in the next pass of the message queue.
void Label::SetCaption(const std::string& text) {
  if (hwnd_) ::DefWindowProcA(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (autoSize_) FitToText();
  if (wordWrap_) ClipToText();
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

// Labels of a design may overlap where one's text ends before its frame does; the window
// keeps only the lines its text fills, so it does not cover a neighbour's first line.
void Label::ClipToText() {
  platform::WindowDc dc(hwnd_);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(hwnd_, WM_GETFONT, 0, 0));
  platform::SelectGuard select(dc.get(), font);
  const std::string text = WindowText();
  RECT r{0, 0, Width(), 0};
  ::DrawTextA(dc.get(), text.empty() ? " " : text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK);
  const int height = r.bottom < Height() ? r.bottom : Height();
  ::SetWindowRgn(hwnd_, ::CreateRectRgn(0, 0, Width(), height), TRUE);
}

// Measured on a memory context of the screen: the same font metrics as the window's own
// context, without asking for the window's visible region. The window moves only when its
// size changes.
void Label::FitToText() {
  platform::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(hwnd_, WM_GETFONT, 0, 0));
  platform::SelectGuard select(dc.get(), font);
  const std::string text = WindowText();
  RECT r{0, 0, 0, 0};
  ::DrawTextA(dc.get(), text.empty() ? " " : text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
  const int width = text.empty() ? 0 : r.right;
  if (width != Width() || r.bottom != Height()) WinControl::SetBounds(Left(), Top(), width, r.bottom);
}

HBRUSH Label::ControlColor(HDC dc) {
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  return Parent()->BackgroundBrush();
}

void Label::Notify(WORD code) {
  if (code == STN_CLICKED && OnClick) OnClick();
}

// ---- Button, check box, radio button

namespace {
DWORD ButtonStyle(Kind kind) {
  switch (kind) {
    case Kind::CheckBox: return BS_AUTOCHECKBOX | WS_TABSTOP;
    case Kind::RadioButton: return BS_AUTORADIOBUTTON | WS_TABSTOP;
    default: return BS_PUSHBUTTON | WS_TABSTOP;
  }
}
}  // namespace

Button::Button(Form* owner, const ComponentDesign& d, Container* parent)
    : WinControl(owner, d.name, d.kind, parent, BoundsOf(d)) {
  ApplyDesignState(*this, d);
  CreateHandle("BUTTON", d.text ? d.text : "", ButtonStyle(d.kind));
  ApplyFont(owner->Font(d.fontHeight, (d.flags & kBold) != 0));
}

void Button::Notify(WORD code) {
  if (code == BN_CLICKED && OnClick) OnClick();
}

void Button::Click() {
  if (OnClick) Application::Instance().Dispatch(OnClick);
}

CheckControl::CheckControl(Form* owner, const ComponentDesign& d, Container* parent) : Button(owner, d, parent) {
  if (d.flags & kChecked) SetChecked(true);
}

bool CheckControl::Checked() const { return ::SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckControl::SetChecked(bool checked) {
  ::SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

HBRUSH CheckControl::ControlColor(HDC dc) {
  ::SetBkColor(dc, ResolveColor(Parent()->Color()));
  return Parent()->BackgroundBrush();
}

// ---- Edit

Edit::Edit(Form* owner, const ComponentDesign& d, Container* parent)
    : WinControl(owner, d.name, Kind::Edit, parent, BoundsOf(d)) {
  ApplyDesignState(*this, d);
  CreateHandle("EDIT", d.text ? d.text : "", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
  ApplyFont(owner->Font(d.fontHeight, false));
}

void Edit::Notify(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange();
}

// ---- Memo

Memo::Memo(Form* owner, const ComponentDesign& d, Container* parent)
    : WinControl(owner, d.name, Kind::Memo, parent, BoundsOf(d)), lines_(SplitLines(d.text)) {
  ApplyDesignState(*this, d);
  CreateHandle("EDIT", "",
               ES_MULTILINE | ES_AUTOVSCROLL | WS_TABSTOP | ((d.flags & kReadOnly) ? ES_READONLY : 0) |
                   ((d.flags & kVScroll) ? WS_VSCROLL : 0),
               WS_EX_CLIENTEDGE);
  ::SendMessageA(hwnd_, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  ApplyFont(owner->Font(d.fontHeight, false));
  Refresh();
}

std::string Memo::Get(int index) const {
  return (index >= 0 && index < Count()) ? lines_[size_t(index)] : std::string();
}

void Memo::Set(int index, const std::string& text) { SetMany({{index, text}}); }

void Memo::SetMany(const std::vector<std::pair<int, std::string>>& texts) {
  bool changed = false;
  for (const auto& t : texts) {
    if (t.first < 0 || t.first >= Count()) continue;
    lines_[size_t(t.first)] = t.second;
    changed = true;
  }
  if (changed) Refresh();
}

void Memo::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw platform::Error("Datei " + path + " kann nicht geöffnet werden");
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string text = ss.str();
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  lines_ = std::move(lines);
  Refresh();
}

void Memo::Refresh() {
  std::string text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i) text += "\r\n";
    text += lines_[i];
  }
  SetWindowText(text);
}

// ---- ListBox

ListBox::ListBox(Form* owner, const ComponentDesign& d, Container* parent, DWORD extraStyle)
    : WinControl(owner, d.name, d.kind, parent, BoundsOf(d)) {
  ApplyDesignState(*this, d);
  CreateHandle("LISTBOX", "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | extraStyle,
               WS_EX_CLIENTEDGE);
  ApplyFont(owner->Font(d.fontHeight, false));
  for (const std::string& item : SplitLines(d.text)) Add(item);
}

int ListBox::Count() const { return int(::SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)); }

std::string ListBox::Item(int index) const {
  const LRESULT n = ::SendMessageA(hwnd_, LB_GETTEXTLEN, WPARAM(index), 0);
  if (n == LB_ERR) return {};
  std::string text(size_t(n) + 1, '\0');
  ::SendMessageA(hwnd_, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(size_t(n));
  return text;
}

void ListBox::Add(const std::string& text) {
  ::SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ListBox::Delete(int index) { ::SendMessageA(hwnd_, LB_DELETESTRING, WPARAM(index), 0); }

void ListBox::SetItemHeight(int designPixels) { ::SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, Scale(designPixels)); }

void ListBox::Clear() { ::SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0); }
int ListBox::ItemIndex() const { return int(::SendMessageA(hwnd_, LB_GETCURSEL, 0, 0)); }
void ListBox::SetItemIndex(int index) { ::SendMessageA(hwnd_, LB_SETCURSEL, WPARAM(index), 0); }

void ListBox::Notify(WORD code) {
  if (code == LBN_DBLCLK && OnDblClick) OnDblClick();
  if (code == LBN_SELCHANGE && OnClick) OnClick();
}

// ---- ComboBox

ComboBox::ComboBox(Form* owner, const ComponentDesign& d, Container* parent)
    : WinControl(owner, d.name, d.kind, parent, BoundsOf(d)) {
  ApplyDesignState(*this, d);
  // The height of a drop-down list's window includes the opened list.
  bounds_.bottom = bounds_.top + Scale(200);
  CreateHandle("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
  ApplyFont(owner->Font(d.fontHeight, false));
  for (const std::string& item : SplitLines(d.text)) Add(item);
}

int ComboBox::Count() const { return int(::SendMessageA(hwnd_, CB_GETCOUNT, 0, 0)); }

std::string ComboBox::Get(int index) const {
  const LRESULT n = ::SendMessageA(hwnd_, CB_GETLBTEXTLEN, WPARAM(index), 0);
  if (n == CB_ERR) return {};
  std::string text(size_t(n) + 1, '\0');
  ::SendMessageA(hwnd_, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(size_t(n));
  return text;
}

void ComboBox::Set(int index, const std::string& text) {
  if (index < 0 || index >= Count()) return;
  const int selected = ItemIndex();
  ::SendMessageA(hwnd_, CB_DELETESTRING, WPARAM(index), 0);
  ::SendMessageA(hwnd_, CB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(text.c_str()));
  if (selected == index) SetItemIndex(index);
}

void ComboBox::Add(const std::string& text) {
  ::SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ComboBox::Clear() { ::SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0); }
int ComboBox::ItemIndex() const { return int(::SendMessageA(hwnd_, CB_GETCURSEL, 0, 0)); }
void ComboBox::SetItemIndex(int index) { ::SendMessageA(hwnd_, CB_SETCURSEL, WPARAM(index), 0); }

std::string ComboBox::Text() const {
  const int i = ItemIndex();
  return i < 0 ? std::string() : Get(i);
}

void ComboBox::Notify(WORD code) {
  if (code == CBN_SELCHANGE && OnChange) OnChange();
}

// ---- FileListBox

FileListBox::FileListBox(Form* owner, const ComponentDesign& d, Container* parent) : ListBox(owner, d, parent) {}

void FileListBox::SetDirectory(const std::string& folder) {
  directory_ = folder;
  platform::SetCurrentFolder(folder);
  Clear();
  // Added in the order of the sorted listing: the list box itself does not sort.
  for (const std::string& name : platform::ListFiles(folder)) Add(name);
}

// ---- DirectoryListBox

DirectoryListBox::DirectoryListBox(Form* owner, const ComponentDesign& d, Container* parent)
    : ListBox(owner, d, parent, LBS_WANTKEYBOARDINPUT) {
  SetDirectory(platform::CurrentFolder());
}

void DirectoryListBox::SetDirectory(const std::string& folder) {
  std::string dir = folder;
  while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  if (dir.size() == 2 && dir[1] == ':') dir += '\\';
  const bool changed = !platform::SameText(dir, directory_);
  directory_ = dir;
  Fill();
  if (drives_ && dir.size() >= 2 && dir[1] == ':') drives_->SetDrive(dir[0]);
  if (changed && OnChange) OnChange();
}

void DirectoryListBox::Fill() {
  Clear();
  // The levels of the path: "C:\", then each folder name.
  std::vector<std::string> levels;
  std::string rest = directory_;
  if (rest.size() >= 3 && rest[1] == ':') {
    levels.push_back(rest.substr(0, 3));
    rest = rest.substr(3);
  }
  size_t start = 0;
  while (start < rest.size()) {
    size_t slash = rest.find('\\', start);
    if (slash == std::string::npos) slash = rest.size();
    if (slash > start) levels.push_back(rest.substr(start, slash - start));
    start = slash + 1;
  }
  pathLevels_ = int(levels.size());
  for (const std::string& level : levels) Add(level);
  for (const std::string& sub : platform::ListFolders(directory_)) Add(sub);
  SetItemIndex(pathLevels_ - 1);
}

void DirectoryListBox::OpenItem(int index) {
  if (index < 0 || index >= Count()) return;
  std::string path;
  if (index < pathLevels_) {
    for (int i = 0; i <= index; ++i) path = i == 0 ? Item(0) : platform::IncludeTrailingBackslash(path) + Item(i);
  } else {
    path = platform::IncludeTrailingBackslash(directory_) + Item(index);
  }
  SetDirectory(path);
}

void DirectoryListBox::Notify(WORD code) {
  if (code == LBN_DBLCLK) {
    OpenItem(ItemIndex());
  } else if (code == LBN_SELCHANGE && OnClick) {
    OnClick();
  }
}

// ---- DriveComboBox

DriveComboBox::DriveComboBox(Form* owner, const ComponentDesign& d, Container* parent) : ComboBox(owner, d, parent) {
  plain_ = false;
  const DWORD mask = ::GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(mask & (1u << i))) continue;
    const char letter = char('a' + i);
    drives_.push_back(char('A' + i));
    Add(std::string(1, letter) + ":");
  }
}

void DriveComboBox::SetDirList(DirectoryListBox* list) {
  dirList_ = list;
  if (list) {
    list->SetDriveCombo(this);
    if (list->Directory().size() >= 2) SetDrive(list->Directory()[0]);
  }
}

char DriveComboBox::Drive() const {
  const int i = ItemIndex();
  return i < 0 ? '\0' : drives_[size_t(i)];
}

void DriveComboBox::SetDrive(char drive) {
  const char upper = char(::toupper(static_cast<unsigned char>(drive)));
  for (size_t i = 0; i < drives_.size(); ++i)
    if (drives_[i] == upper) SetItemIndex(int(i));
}

void DriveComboBox::Notify(WORD code) {
  if (code != CBN_SELCHANGE || !dirList_) return;
  const char drive = Drive();
  if (!drive || (dirList_->Directory().size() && ::toupper(dirList_->Directory()[0]) == drive)) return;
  // The drive's own current folder.
  const std::string spec = std::string(1, drive) + ":";
  dirList_->SetDirectory(platform::ExpandFileName(spec));
}

// ---- GroupBox and Panel

GroupBox::GroupBox(Form* owner, const ComponentDesign& d, Container* parent)
    : Container(owner, d.name, Kind::GroupBox, parent, BoundsOf(d), parent->Color()) {
  ApplyDesignState(*this, d);
  CreateContainerHandle(parent->Handle(), d.text ? d.text : "", WS_CHILD, 0, "TGroupBox");
  ApplyFont(owner->Font(d.fontHeight, false));
}

void GroupBox::SetCaption(const std::string& text) {
  SetWindowText(text);
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void GroupBox::PaintSelf(HDC dc, const RECT& client) {
  Container::PaintSelf(dc, client);
  HFONT font = OwnerForm()->Font();
  platform::SelectGuard select(dc, font);
  TEXTMETRICA tm;
  ::GetTextMetricsA(dc, &tm);
  RECT frame = client;
  frame.top += tm.tmHeight / 2;
  ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const std::string text = WindowText();
  if (text.empty()) return;
  ::SetBkColor(dc, ResolveColor(Color()));
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  ::SetBkMode(dc, OPAQUE);
  ::TextOutA(dc, Scale(8), 0, text.c_str(), int(text.size()));
}

Panel::Panel(Form* owner, const ComponentDesign& d, Container* parent)
    : Container(owner, d.name, Kind::Panel, parent, BoundsOf(d), parent->Color()), raised_((d.flags & kRaised) != 0) {
  ApplyDesignState(*this, d);
  CreateContainerHandle(parent->Handle(), d.text ? d.text : "", WS_CHILD, 0, "TPanel");
  ApplyFont(owner->Font(d.fontHeight, false));
}

void Panel::SetCaption(const std::string& text) {
  SetWindowText(text);
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void Panel::PaintSelf(HDC dc, const RECT& client) {
  Container::PaintSelf(dc, client);
  RECT edge = client;
  ::DrawEdge(dc, &edge, raised_ ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
  const std::string text = WindowText();
  if (text.empty()) return;
  platform::SelectGuard select(dc, OwnerForm()->Font());
  ::SetBkMode(dc, TRANSPARENT);
  RECT r = client;
  ::DrawTextA(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// ---- Notebook and pages

Page::Page(Form* owner, const ComponentDesign& d, Notebook* notebook)
    : Container(owner, d.text ? d.text : d.name, Kind::Page, notebook,
                RECT{0, 0, notebook->Width(), notebook->Height()}, notebook->Color()),
      pageName_(d.text ? d.text : d.name) {
  // Only the first page starts visible; the notebook shows one page at a time.
  Control::SetVisible(notebook->Pages().empty());
  CreateContainerHandle(notebook->Handle(), pageName_, WS_CHILD, 0, "TPage");
  notebook->AddPage(this);
}

Notebook::Notebook(Form* owner, const ComponentDesign& d, Container* parent)
    : Container(owner, d.name, Kind::Notebook, parent, BoundsOf(d), parent->Color()) {
  if (d.flags & kAlignClient) {
    RECT client;
    ::GetClientRect(parent->Handle(), &client);
    Control::SetBounds(0, 0, client.right, client.bottom);
  }
  ApplyDesignState(*this, d);
  CreateContainerHandle(parent->Handle(), "", WS_CHILD, 0, "TNotebook");
}

void Notebook::AddPage(Page* page) {
  pages_.push_back(page);
  if (!active_) active_ = page;
}

void Notebook::SetActivePage(const std::string& name) {
  Page* next = nullptr;
  for (Page* p : pages_)
    if (platform::SameText(p->PageName(), name)) next = p;
  if (!next || next == active_) return;
  const HWND focus = ::GetFocus();
  const bool focusInside = focus && ::IsChild(hwnd_, focus);
  Page* old = active_;
  active_ = next;
  ::SetWindowPos(next->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  next->SetVisible(true);
  if (old) old->SetVisible(false);
  if (focusInside || !focus) {
    if (HWND first = ::GetNextDlgTabItem(next->Handle(), nullptr, FALSE)) ::SetFocus(first);
  }
}

// ---- Bevel

Bevel::Bevel(Form* owner, const ComponentDesign& d, Container* parent)
    : GraphicControl(owner, d.name, Kind::Bevel, parent, BoundsOf(d)),
      raised_((d.flags & kRaised) != 0),
      topLine_((d.flags & kBevelTopLine) != 0) {
  ApplyDesignState(*this, d);
}

void Bevel::Paint(HDC dc, const RECT& bounds) {
  RECT r = bounds;
  if (topLine_) {
    r.bottom = r.top + 2;
    ::DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
  } else {
    ::DrawEdge(dc, &r, raised_ ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
  }
}

// ---- Image

Image::Image(Form* owner, const ComponentDesign& d, Container* parent)
    : GraphicControl(owner, d.name, Kind::Image, parent, BoundsOf(d)), flags_(d.flags) {
  if (d.flags & kAlignClient) {
    RECT client;
    ::GetClientRect(parent->Handle(), &client);
    Control::SetBounds(0, 0, client.right, client.bottom);
  }
  ApplyDesignState(*this, d);
  if (d.picture) SetPicture(Picture::FromResource(d.picture));
}

void Image::LoadFromFile(const std::string& path) { SetPicture(Picture::LoadFromFile(path)); }

void Image::SetPicture(std::unique_ptr<Picture> picture) {
  picture_ = std::move(picture);
  if (picture_ && (flags_ & kAutoSize)) FitToPicture();
  Invalidate();
}

// A picture's pixels count as pixels of the design: it is drawn stretched to its scaled size.
SIZE Image::PictureSize() const { return {Scale(picture_->Width()), Scale(picture_->Height())}; }

void Image::FitToPicture() {
  const SIZE size = PictureSize();
  if (flags_ & kAlignRight) {
    RECT client;
    ::GetClientRect(Parent()->Handle(), &client);
    Control::SetBounds(client.right - size.cx, 0, size.cx, client.bottom);
  } else {
    Control::SetBounds(Left(), Top(), size.cx, size.cy);
  }
}

void Image::Paint(HDC dc, const RECT& b) {
  if (!picture_) return;
  RECT dest = b;
  const SIZE size = PictureSize();
  if (flags_ & kStretch) {
    // fills the bounds
  } else if (flags_ & kCenter) {
    const int x = b.left + (b.right - b.left - size.cx) / 2;
    const int y = b.top + (b.bottom - b.top - size.cy) / 2;
    dest = {x, y, x + size.cx, y + size.cy};
  } else {
    dest = {b.left, b.top, b.left + size.cx, b.top + size.cy};
  }
  picture_->Draw(dc, dest, (flags_ & kTransparent) != 0);
}

// ---- Timer

namespace {
UINT_PTR nextTimerId = 1;
}

Timer::Timer(Form* owner, const ComponentDesign& d)
    : Component(owner, d.name, Kind::Timer),
      enabled_((d.flags & kDisabled) == 0),
      interval_(d.interval > 0 ? d.interval : 1000),
      id_(nextTimerId++) {
  Update();
}

Timer::~Timer() {
  if (OwnerForm() && OwnerForm()->Handle()) ::KillTimer(OwnerForm()->Handle(), id_);
}

void Timer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Update();
}

void Timer::SetInterval(int ms) {
  interval_ = ms;
  Update();
}

void Timer::Update() {
  HWND wnd = OwnerForm()->Handle();
  ::KillTimer(wnd, id_);
  if (enabled_ && interval_ > 0) ::SetTimer(wnd, id_, UINT(interval_), nullptr);
}

void Timer::Fire() {
  if (enabled_ && OnTimer) OnTimer();
}

}  // namespace forms
