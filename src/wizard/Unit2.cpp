#include "Unit2.h"

using namespace forms;

TForm2* Form2 = nullptr;

namespace {

const FormDesign kDesign{"TForm2", "Form2", "Willkommen", 472, 329, BorderStyle::Single,
                         Placement::ScreenCenter, true, false, kBtnFace, -11, false};

const std::vector<ComponentDesign> kComponents = {
    {Kind::Image, "Image1", "", 8, 8, 120, 236, "", 0, -1, 0, "", nullptr, 0},
    {Kind::Image, "Image3", "", 8, 8, 120, 236, "", kHidden, -1, 0, "", nullptr, 0},
    {Kind::Image, "Image4", "", 8, 8, 120, 236, "", kHidden, -1, 0, "", nullptr, 0},
    {Kind::Image, "Image5", "", 8, 8, 120, 236, "", kHidden, -1, 0, "", nullptr, 0},
    {Kind::Image, "Image6", "", 8, 8, 120, 236, "", kHidden, -1, 0, "", nullptr, 0},
    {Kind::Image, "Image7", "", 8, 8, 120, 236, "", kHidden, -1, 0, "", nullptr, 0},
    {Kind::Image, "Image8", "", 8, 8, 120, 236, "", kHidden, -1, 0, "", nullptr, 0},
    {Kind::Image, "Image9", "", 8, 8, 120, 236, "", kHidden, -1, 0, "", nullptr, 0},
};

}  // namespace

TForm2::TForm2() : Form(kDesign) { Build(kComponents); }
