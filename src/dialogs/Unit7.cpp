#include "Unit7.h"

using namespace forms;

TForm7* Form7 = nullptr;

namespace {

const FormDesign kDesign{"TForm7",
                         "Form7",
                         "Zusatzinformationen",
                         400,
                         300,
                         BorderStyle::None,
                         Placement::ScreenCenter,
                         true,
                         false,
                         kBtnFace,
                         -11,
                         false};

const std::vector<ComponentDesign> kComponents = {
    {Kind::Panel, "Panel1", "", 0, 0, 400, 300, "", kAlignClient | kRaised, -1, 0, "", nullptr, 0},
    // Inside the panel's one-pixel edge.
    {Kind::Image, "Image1", "Panel1", 1, 1, 398, 298, "", 0, -1, 0, "", "SPLASH", 0},
};

}  // namespace

TForm7::TForm7() : Form(kDesign) { Build(kComponents); }
