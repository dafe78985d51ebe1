// Program start: the application title, the lock of one run at a time, the eight forms in
// their order, the message loop.
#include "IniLang.h"
#include "application.h"
#include "files.h"
#include "handle.h"
#include "install_result.h"
#include "profile.h"
#include "run_lock.h"
#include "setup_description.h"
#include "setup_forms.h"
#include "system_library.h"

namespace {

std::string ProgramEntryOfMedium() {
  return platform::ProfileFile(platform::ExeFolder() + setupinf::kFileName).Read(setupinf::kProgramEntry);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::RestrictDllSearch();
  platform::ComApartment com;
  InitApplication();
  forms::Application& app = forms::Application::Instance();
  // Held until setup ends: a second setup, or the uninstaller, of the same program waits its turn.
  const install::RunLock lock(ProgramEntryOfMedium());
  if (!lock.Held()) {
    app.MessageBox(LangText("Setup oder die Deinstallation von Talvenor läuft bereits. Bitte warten Sie, bis "
                            "sie beendet ist, und starten Sie Setup dann noch einmal.",
                            "install_running"),
                   MB_OK | MB_ICONWARNING);
    return install::kExitAnotherRunning;
  }
  try {
    SetupForms forms;
    app.Run();
  } catch (const std::exception& e) {
    app.ShowException(e);
    return 1;
  }
  return 0;
}
