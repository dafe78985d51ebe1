#include "Unit5.h"

using namespace forms;

TForm5* Form5 = nullptr;

namespace {

const FormDesign kDesign{"TForm5", "Form5", "Kopiervorgang der Datein", 427, 132, BorderStyle::None,
                         Placement::ScreenCenter, true, false, kBtnFace, -11, false};

const std::vector<ComponentDesign> kComponents = {

};

}  // namespace

TForm5::TForm5() : Form(kDesign) { Build(kComponents); }
