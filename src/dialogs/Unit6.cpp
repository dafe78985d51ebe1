#include "Unit6.h"

using namespace forms;

TForm6* Form6 = nullptr;

namespace {

const FormDesign kDesign{"TForm6", "Form6", "Setup Beenden", 342, 183, BorderStyle::Dialog,
                         Placement::ScreenCenter, true, false, kBtnFace, -11, false};

const std::vector<ComponentDesign> kComponents = {

};

}  // namespace

TForm6::TForm6() : Form(kDesign) { Build(kComponents); }
