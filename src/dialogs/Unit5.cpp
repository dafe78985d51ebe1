#include "Unit5.h"

#include "Unit6.h"
#include "wizard_rules.h"

#include <cstring>

using namespace forms;

TForm5* Form5 = nullptr;

namespace {

const FormDesign kDesign{"TForm5",
                         "Form5",
                         "Kopiervorgang der Datein",
                         427,
                         132,
                         BorderStyle::None,
                         Placement::ScreenCenter,
                         true,
                         false,
                         kBtnFace,
                         -11,
                         false};

const std::vector<ComponentDesign> kComponents = {
    {Kind::Panel, "Panel1", "", 0, 0, 427, 132, "", kAlignClient | kRaised, -1, 0, "", nullptr, 0},
    {Kind::Bevel, "Bevel1", "Panel1", 8, 60, 409, 26, "", 0, -1, 0, "", nullptr, 0},
    {Kind::Label, "Label1", "Panel1", 16, 10, 401, 16, "Extrahiere Dateien nach", kWindowTextColor, -1, -13, "",
     nullptr, 0},
    {Kind::Label, "Label2", "Panel1", 16, 32, 25, 16, "", kAutoSize, -1, -13, "", nullptr, 0},
    {Kind::Custom, "Progress1", "Panel1", 11, 62, 402, 21, "", 0, -1, 0, "", nullptr, 0},
    {Kind::Button, "Button1", "Panel1", 176, 96, 75, 24, "Abbruch", 0, -1, 0, "", nullptr, 0},
};

}  // namespace

TForm5::TForm5() : Form(kDesign) {
  Build(kComponents);
  Get<Button>("Button1").OnClick = [this] { Button1Click(); };
}

std::unique_ptr<Component> TForm5::CreateCustom(const ComponentDesign& d, Container* parent) {
  if (std::strcmp(d.name, "Progress1") != 0) return Form::CreateCustom(d, parent);
  auto bar = CreateProgress(this, d, parent);
  bar->SetBackColor(kBtnFace);
  bar->SetBorderColor(kBtnFace);
  bar->SetFromColor(kNavy);
  bar->SetToColor(0xFF0000);  // blue
  TProgressFont font;
  font.name = "MS Sans Serif";
  font.height = -11;
  font.color = kWindowText;
  bar->SetTextFont(font);
  return bar;
}

void TForm5::PlaceForRun() {
  const RECT r = ScreenRect();
  const int left = (::GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
  SetTopLeft(left, wizard::ProgressWindowTop(::GetSystemMetrics(SM_CYSCREEN)));
}

void TForm5::ShowFile(const std::string& path, int sharePercent) {
  Get<Label>("Label2").SetCaption(path);
  TProgress& bar = Progress1();
  bar.SetProgress(bar.Progress() + sharePercent);
}

void TForm5::Button1Click() { Form6->Show(); }

// The window has no close box; the keyboard's close command asks the user instead. Alone on
// screen in a silent installation, which cannot be cancelled, it just stays.
bool TForm5::FormCloseQuery() {
  if (Form6) Form6->Show();
  return false;
}
