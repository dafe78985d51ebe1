#include "Unit8.h"

using namespace forms;

TForm8* Form8 = nullptr;

namespace {

const FormDesign kDesign{"TForm8", "Form8", "Datenträger einlegen", 292, 329, BorderStyle::Sizeable,
                         Placement::ScreenCenter, false, false, kBtnFace, -11, true};

const std::vector<ComponentDesign> kComponents = {

};

}  // namespace

TForm8::TForm8() : Form(kDesign) { Build(kComponents); }
