// Program start: the application title, the eight forms in their order, the message loop.
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Unit7.h"
#include "Unit8.h"
#include "application.h"
#include "handle.h"

#include <commctrl.h>

#include <memory>

namespace {

template <typename T>
std::unique_ptr<T> Create(T*& instance) {
  auto form = std::make_unique<T>();
  instance = form.get();
  return form;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::ComApartment com;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  forms::Application& app = forms::Application::Instance();
  app.SetTitle("Talvenor Installation");
  try {
    // The first form created is the main form; forms are destroyed in reverse order.
    auto form1 = Create(Form1);
    auto form2 = Create(Form2);
    auto form3 = Create(Form3);
    auto form4 = Create(Form4);
    auto form5 = Create(Form5);
    auto form6 = Create(Form6);
    auto form7 = Create(Form7);
    auto form8 = Create(Form8);
    app.Run();
  } catch (const std::exception& e) {
    app.ShowException(e);
    return 1;
  }
  return 0;
}
