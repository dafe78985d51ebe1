#include "Unit6.h"

#include "Unit1.h"
#include "cancel_texts.h"

using namespace forms;

TForm6* Form6 = nullptr;

namespace {

const FormDesign kDesign{"TForm6", "Form6", "Setup Beenden", 342, 183,  BorderStyle::Dialog, Placement::ScreenCenter,
                         true,     false,   kBtnFace,        -11, false};

const std::vector<ComponentDesign> kComponents = {
    {Kind::Label, "Label1", "", 8, 16, 313, 33, cancel_texts::kNotInstalled, kWordWrap, -1, 0, "", nullptr, 0},
    {Kind::Label, "Label2", "", 8, 56, 313, 33, cancel_texts::kStartLater, kWordWrap, -1, 0, "", nullptr, 0},
    {Kind::Label, "Label3", "", 8, 96, 313, 33, cancel_texts::kContinueOrEnd, kWordWrap, -1, 0, "", nullptr, 0},
    {Kind::Button, "Button1", "", 168, 152, 75, 24, "&Fortfahren", 0, 0, 0, "", nullptr, 0},
    {Kind::Button, "Button2", "", 256, 152, 75, 24, "&Beenden", 0, 1, 0, "", nullptr, 0},
};

}  // namespace

TForm6::TForm6() : Form(kDesign) {
  Build(kComponents);
  Get<Button>("Button1").OnClick = [this] { Button1Click(); };
  Get<Button>("Button2").OnClick = [this] { Button2Click(); };
}

// Only this confirmation goes; the copy-progress window stays.
void TForm6::Button1Click() { Hide(); }

// Ends the program through the background screen, the main form; its frame stays as it is.
// During the extraction the run returns first, then the message loop ends.
void TForm6::Button2Click() { Form1->EndSetup(); }
