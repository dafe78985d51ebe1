#include "Unit3.h"

using namespace forms;

TForm3* Form3 = nullptr;

namespace {

const FormDesign kDesign{"TForm3", "Form3", "Installation", 294, 174, BorderStyle::Dialog,
                         Placement::MainFormCenter, true, false, kBtnFace, -11, false};

const std::vector<ComponentDesign> kComponents = {

};

}  // namespace

TForm3::TForm3() : Form(kDesign) { Build(kComponents); }
