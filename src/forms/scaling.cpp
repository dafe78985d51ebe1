#include "scaling.h"

#include "handle.h"

namespace forms {

int ScreenDpi() {
  static const int dpi = [] {
    platform::WindowDc screen(nullptr);
    const int value = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return value > 0 ? value : kDesignDpi;
  }();
  return dpi;
}

int Scale(int designPixels) { return ::MulDiv(designPixels, ScreenDpi(), kDesignDpi); }

int ScaleFont(int designHeight) { return designHeight * ScreenDpi() / kDesignDpi; }

ComponentDesign Scaled(const ComponentDesign& design) {
  ComponentDesign scaled = design;
  scaled.left = Scale(design.left);
  scaled.top = Scale(design.top);
  scaled.width = Scale(design.left + design.width) - scaled.left;
  scaled.height = Scale(design.top + design.height) - scaled.top;
  scaled.fontHeight = ScaleFont(design.fontHeight);
  return scaled;
}

FormDesign Scaled(const FormDesign& design) {
  FormDesign scaled = design;
  scaled.clientWidth = Scale(design.clientWidth);
  scaled.clientHeight = Scale(design.clientHeight);
  scaled.fontHeight = ScaleFont(design.fontHeight);
  return scaled;
}

}  // namespace forms
