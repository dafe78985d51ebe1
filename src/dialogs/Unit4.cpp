#include "Unit4.h"

using namespace forms;

TForm4* Form4 = nullptr;

namespace {

const FormDesign kDesign{"TForm4", "Form4", "Auswahl des Ziel-Ordners", 292, 309, BorderStyle::Dialog,
                         Placement::ScreenCenter, true, false, kBtnFace, -11, false};

const std::vector<ComponentDesign> kComponents = {

};

}  // namespace

TForm4::TForm4() : Form(kDesign) { Build(kComponents); }
