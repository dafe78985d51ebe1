#include "Unit7.h"

using namespace forms;

TForm7* Form7 = nullptr;

namespace {

const FormDesign kDesign{"TForm7", "Form7", "Zusatzinformationen", 400, 300, BorderStyle::None,
                         Placement::ScreenCenter, true, false, kBtnFace, -11, false};

const std::vector<ComponentDesign> kComponents = {

};

}  // namespace

TForm7::TForm7() : Form(kDesign) { Build(kComponents); }
