// Stored designs: a form is a table of named components in creation order.
#pragma once

#include <windows.h>

#include <cstdint>

namespace forms {

enum class Kind {
  Label,
  Button,
  CheckBox,
  RadioButton,
  GroupBox,
  Panel,
  Bevel,
  Image,
  Edit,
  Memo,
  ListBox,
  ComboBox,
  FileListBox,
  DirectoryListBox,
  DriveComboBox,
  Notebook,
  Page,  // a named page of the notebook named as parent; belongs to the notebook
  Timer,
  Custom,  // made by the form itself (components of their own units)
};

// Flags of a design row.
enum : uint32_t {
  kHidden = 1u << 0,
  kDisabled = 1u << 1,
  kChecked = 1u << 2,
  kBold = 1u << 3,
  kWordWrap = 1u << 4,
  kAutoSize = 1u << 5,  // labels and images size themselves to their content
  kTransparent = 1u << 6,
  kAlignClient = 1u << 7,  // fills the parent's client area
  kAlignRight = 1u << 8,   // at the parent's right edge, full height
  kCenter = 1u << 9,       // image: picture centred
  kStretch = 1u << 10,     // image: picture stretched to the bounds
  kReadOnly = 1u << 11,
  kVScroll = 1u << 12,
  kRaised = 1u << 13,        // panel and bevel edge raised (else lowered)
  kBevelTopLine = 1u << 14,  // bevel drawn as a line at its top (else a box)
  kWindowTextColor = 1u << 15,
};

struct ComponentDesign {
  Kind kind;
  const char* name;
  const char* parent;  // "" for the form itself
  int left, top, width, height;
  const char* text;  // caption, edit text, page name, memo lines ("\n" separated), items
  uint32_t flags;
  int tabOrder;    // -1: not a tab stop of its own ordering
  int fontHeight;  // 0: the form's font
  const char* hint;
  const char* picture;  // resource name of a built-in picture, or nullptr
  int interval;         // timers: milliseconds
};

enum class BorderStyle { None, Dialog, Single, Sizeable };
enum class Placement { Designed, ScreenCenter, MainFormCenter };

struct FormDesign {
  const char* className;  // window class, named after the form type ("TForm1")
  const char* name;       // form name as language files name it ("Form1")
  const char* caption;
  int clientWidth, clientHeight;
  BorderStyle border;
  Placement placement;
  bool stayOnTop;
  bool maximised;
  COLORREF color;  // a value with the high bit set names a system colour
  int fontHeight;
  bool outerSize;  // width and height are the outer size of the window
};

// System colours as colour values with the high bit set.
constexpr COLORREF kBtnFace = 0x80000000u | COLOR_BTNFACE;
constexpr COLORREF kWindowText = 0x80000000u | COLOR_WINDOWTEXT;
constexpr COLORREF kNavy = 0x800000;
COLORREF ResolveColor(COLORREF color);

}  // namespace forms
