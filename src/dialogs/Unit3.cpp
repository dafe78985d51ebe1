#include "Unit3.h"

#include "Unit1.h"
#include "cancel_texts.h"

using namespace forms;

TForm3* Form3 = nullptr;

namespace {

const FormDesign kDesign{"TForm3", "Form3", "Installation", 294, 174,  BorderStyle::Dialog, Placement::MainFormCenter,
                         true,     false,   kBtnFace,       -11, false};

const std::vector<ComponentDesign> kComponents = {
    {Kind::Image, "Image1", "", 8, 8, 32, 32, "", kAutoSize, -1, 0, "", "QUESTION", 0},
    {Kind::Label, "Label1", "", 56, 8, 217, 49, cancel_texts::kNotInstalled, kWordWrap, -1, 0, "", nullptr, 0},
    {Kind::Label, "Label2", "", 56, 51, 217, 26, cancel_texts::kStartLater, kWordWrap, -1, 0, "", nullptr, 0},
    {Kind::Label, "Label3", "", 56, 88, 230, 40, cancel_texts::kContinueOrEnd, kWordWrap, -1, 0, "", nullptr, 0},
    {Kind::Button, "Button1", "", 120, 139, 75, 24, "&Fortfahren", 0, 0, 0, "", nullptr, 0},
    {Kind::Button, "Button2", "", 208, 139, 75, 24, "&Beenden", 0, 1, 0, "", nullptr, 0},
};

}  // namespace

TForm3::TForm3() : Form(kDesign) {
  Build(kComponents);
  Get<Button>("Button1").OnClick = [this] { Button1Click(); };
  Get<Button>("Button2").OnClick = [this] { Button2Click(); };
}

void TForm3::Button1Click() { Hide(); }

// The background screen is the main form: closing it ends the program. It is given a
// normal fixed frame before it closes.
void TForm3::Button2Click() {
  Form1->SetBorderStyle(BorderStyle::Single);
  Form1->EndSetup();
}
