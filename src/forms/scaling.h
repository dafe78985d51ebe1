// The designs are pixel layouts for 96 pixels per inch; forms are built at the screen's
// resolution. Every design value that is a length in pixels goes through here.
#pragma once

#include "design.h"

namespace forms {

// The resolution the designs are laid out for.
constexpr int kDesignDpi = 96;

// The screen's pixels per inch (LOGPIXELSY), asked once.
int ScreenDpi();

// A length of the design in screen pixels, rounded to the nearest.
int Scale(int designPixels);
// A font height of the design (negative: character height) in screen pixels, rounded toward
// zero, so that a text never outgrows its scaled frame.
int ScaleFont(int designHeight);

// A design row or form design with its lengths and font heights in screen pixels. A row's
// edges are scaled, not its width, so that controls that touch in the design still touch.
ComponentDesign Scaled(const ComponentDesign& design);
FormDesign Scaled(const FormDesign& design);

}  // namespace forms
