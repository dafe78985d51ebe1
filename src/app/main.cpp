// Program start: the command line, the lock of one run at a time and the log; then either the
// unattended installation or the application title, the eight forms in their order and the
// message loop. The exit code tells how setup ended.
#include "application.h"
#include "command_line.h"
#include "files.h"
#include "handle.h"
#include "install_log.h"
#include "install_result.h"
#include "profile.h"
#include "run_lock.h"
#include "setup_description.h"
#include "setup_forms.h"
#include "setup_start.h"
#include "system_library.h"
#include "unattended.h"

namespace {

std::string ProgramEntryOfMedium() {
  return platform::ProfileFile(platform::ExeFolder() + setupinf::kFileName).Read(setupinf::kProgramEntry);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::RestrictDllSearch();
  const app::ParsedCommandLine commandLine = app::ParseArguments(app::SplitArguments(::GetCommandLineA()));
  if (!commandLine.error.empty() || commandLine.options.help) return app::AnswerCommandLine(commandLine);
  const app::SetupOptions& options = commandLine.options;
  platform::ComApartment com;
  // Held until setup ends: a second setup, or the uninstaller, of the same program waits its turn.
  const install::RunLock lock(ProgramEntryOfMedium());
  if (!lock.Held()) return app::ReportAnotherRun(options);
  if (!app::OpenRequestedLog(options)) return install::kExitFailedBeforeWriting;
  if (options.Unattended()) return app::RunUnattended(options);

  InitApplication();
  forms::Application& application = forms::Application::Instance();
  try {
    SetupForms forms;
    application.Run();
  } catch (const std::exception& e) {
    install::TheLog().Line(std::string("Fehler: ") + e.what());
    application.ShowException(e);
    return app::ExitCodeAtEnd(true);
  }
  return app::ExitCodeAtEnd(false);
}
