#include "Unit6.h"

#include "Unit1.h"

using namespace forms;

TForm6* Form6 = nullptr;

namespace {

const FormDesign kDesign{"TForm6", "Form6", "Setup Beenden", 342, 183, BorderStyle::Dialog,
                         Placement::ScreenCenter, true, false, kBtnFace, -11, false};

const std::vector<ComponentDesign> kComponents = {
    {Kind::Label, "Label1", "", 8, 16, 313, 33,
     "Die Installation ist noch nicht vollständig. Wenn Sie die Installation jetzt beenden wird "
     "das Programm nicht installiert.",
     kWordWrap, -1, 0, "", nullptr, 0},
    {Kind::Label, "Label2", "", 8, 56, 313, 33,
     "Sie können das Installationsprogramm später starten, um das Programm zu installieren.",
     kWordWrap, -1, 0, "", nullptr, 0},
    {Kind::Label, "Label3", "", 8, 96, 313, 33,
     "Drücken Sie Frotfahren, um mit der Installation fortzufahren.. Drücken Sie Beenden, um das "
     "Installationsprogramm zu beenden.",
     kWordWrap, -1, 0, "", nullptr, 0},
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
void TForm6::Button2Click() {
  Form1->CloseAllowed = true;
  Form1->Close();
}
