// Components of a form: named, in creation order, visual or not. Visual controls are either
// windowed (a child window of a container) or graphic (painted by their container).
#pragma once

#include "design.h"
#include "handle.h"

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace forms {

class Form;
class Container;

// Access to the numbered texts of a component: lines of a memo, items of a combo box.
class TextList {
 public:
  virtual ~TextList() = default;
  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  virtual void Set(int index, const std::string& text) = 0;
  // Several texts at once (index, text), for a control that shows them all anew at each Set.
  virtual void SetMany(const std::vector<std::pair<int, std::string>>& texts) {
    for (const auto& t : texts) Set(t.first, t.second);
  }
};

// Access to the cells of a string grid.
class CellGrid {
 public:
  virtual ~CellGrid() = default;
  virtual int ColCount() const = 0;
  virtual int RowCount() const = 0;
  virtual std::string Cell(int col, int row) const = 0;
  virtual void SetCell(int col, int row, const std::string& text) = 0;
};

class Component {
 public:
  Component(Form* owner, std::string name, Kind kind);
  virtual ~Component() = default;
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  const std::string& Name() const { return name_; }
  Kind GetKind() const { return kind_; }
  Form* OwnerForm() const { return owner_; }

  // Whether the kind has a settable text property of that name ("Caption", "Hint").
  virtual bool HasTextProp(const std::string& prop) const;
  // Sets a text property; does nothing for a property the kind does not have.
  virtual void SetTextProp(const std::string& prop, const std::string& value);
  virtual std::string TextProp(const std::string& prop) const;
  virtual TextList* Lines() { return nullptr; }  // multi-line edits
  virtual TextList* Items() { return nullptr; }  // radio groups and plain combo boxes
  virtual CellGrid* Cells() { return nullptr; }  // string grids

  int Tag = 0;

 private:
  Form* owner_;
  std::string name_;
  Kind kind_;
};

// A visual control: bounds relative to its parent container, visibility, enabled state,
// hint. Caption handling is left to the kinds that have one.
class Control : public Component {
 public:
  Control(Form* owner, std::string name, Kind kind, Container* parent, RECT bounds);

  Container* Parent() const { return parent_; }
  const RECT& Bounds() const { return bounds_; }
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.right - bounds_.left; }
  int Height() const { return bounds_.bottom - bounds_.top; }
  virtual void SetBounds(int left, int top, int width, int height);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  // Visible, and every container above it visible as well.
  bool Showing() const;

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);

  bool HasTextProp(const std::string& prop) const override;
  void SetTextProp(const std::string& prop, const std::string& value) override;
  std::string TextProp(const std::string& prop) const override;

  // Text properties of kinds with a caption.
  virtual bool HasCaption() const { return false; }
  virtual std::string Caption() const { return {}; }
  virtual void SetCaption(const std::string&) {}

  // kAlignClient or kAlignRight: the control follows its container's size.
  void SetAlign(uint32_t align) { align_ = align; }
  uint32_t Align() const { return align_; }

  virtual HWND Handle() const { return nullptr; }
  // Rectangle in the coordinates of the nearest window (for graphic controls: the container).
  RECT WindowRect() const { return bounds_; }

  std::function<void()> OnClick;

 protected:
  RECT bounds_;
  bool visible_ = true;
  bool enabled_ = true;

 private:
  uint32_t align_ = 0;
  Container* parent_;
  std::string hint_;
};

// A control with a window of its own.
class WinControl : public Control {
 public:
  using Control::Control;
  ~WinControl() override;

  HWND Handle() const override { return hwnd_; }
  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void SetFocus();
  bool Focused() const;
  std::string WindowText() const;
  void SetWindowText(const std::string& text);

  static WinControl* FromHandle(HWND hwnd);
  // Notifications that the parent receives for this control (WM_COMMAND codes).
  virtual void Notify(WORD code) { (void)code; }
  // Colours for WM_CTLCOLOR*: nullptr for the default.
  virtual HBRUSH ControlColor(HDC dc) {
    (void)dc;
    return nullptr;
  }

 protected:
  // Creates the window as a child of the parent container; `hwnd_` is set afterwards.
  void CreateHandle(const char* windowClass, const std::string& text, DWORD style, DWORD exStyle = 0);
  void ApplyFont(HFONT font);
  HWND hwnd_ = nullptr;
};

// A control without a window, painted by its container.
class GraphicControl : public Control {
 public:
  using Control::Control;

  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool visible) override;
  // Paints into the container's device context; `bounds` is Bounds().
  virtual void Paint(HDC dc, const RECT& bounds) = 0;
  // Asks the container to repaint this control with the next paint message.
  void Invalidate();
  // Paints at once on the container's surface.
  void Repaint();
};

// A windowed control that holds other controls and paints the graphic ones among them.
class Container : public WinControl {
 public:
  Container(Form* owner, std::string name, Kind kind, Container* parent, RECT bounds, COLORREF color);

  COLORREF Color() const { return color_; }
  void SetColor(COLORREF color);
  HBRUSH BackgroundBrush();
  void AddChild(Control* child) { children_.push_back(child); }
  const std::vector<Control*>& Children() const { return children_; }
  // Lays the aligned children out over the client area.
  void Realign();

  // The window procedure of every container window.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

 protected:
  void CreateContainerHandle(HWND parentWindow, const std::string& text, DWORD style, DWORD exStyle,
                             const char* windowClass);
  // Background and frame of the container itself; the graphic children come after.
  virtual void PaintSelf(HDC dc, const RECT& client);
  void PaintGraphicChildren(HDC dc);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  friend class Form;
  friend void RegisterContainerClass(const char*, UINT);

  COLORREF color_;
  platform::UniqueBrush brush_;
  std::vector<Control*> children_;
};

// Registers the shared container window class under a name (once per name).
void RegisterContainerClass(const char* className, UINT classStyle = 0);

}  // namespace forms
