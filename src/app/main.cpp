// Program start: the application title, the eight forms in their order, the message loop.
#include "application.h"
#include "handle.h"
#include "setup_forms.h"
#include "system_library.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::RestrictDllSearch();
  platform::ComApartment com;
  InitApplication();
  forms::Application& app = forms::Application::Instance();
  try {
    SetupForms forms;
    app.Run();
  } catch (const std::exception& e) {
    app.ShowException(e);
    return 1;
  }
  return 0;
}
