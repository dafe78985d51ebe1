// UnInstall.exe, the medium's uninstaller. Setup copies it into the Windows folder and starts
// it (uninstall entry, "UnInstall" link) with one argument, the quoted path of the copy of
// Setup.inf in the target folder:
//
//   UnInstall.exe "C:\Programme\Talvenor\Setup.inf" [/quiet] [/LOG[=file]]
//
// It asks for confirmation, removes what that installation wrote and reports what it could
// not remove. "/quiet" (for unattended use and tests) skips the question and the report; the
// exit code then tells the outcome: 0 everything removed, 1 something left in place (or the
// user declined), 2 bad arguments (no such Setup.inf, a drive root or the Windows folder, a
// log that cannot be written), 6 another setup or uninstaller of this program is running.
// "/LOG" logs every removal and the outcome, as setup's /LOG does.
#include "install_record.h"
#include "install_store.h"
#include "log_file.h"
#include "run_lock.h"
#include "uninstall_core.h"
#include "uninstaller.h"

#include "error.h"
#include "files.h"
#include "handle.h"
#include "system_library.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kDefaultCaption[] = "Talvenor Deinstallation";
const char kWithoutRecord[] =
    "Diese Installation hat Setup ohne eigenes Protokoll angelegt; entfernt wurde, was Setup.inf aufführt.";
const char kLogName[] = "Talvenor Uninstall Log";
const char kUsage[] =
    "Aufruf: UnInstall.exe \"<Installationsordner>\\Setup.inf\" [/quiet] [/LOG[=Datei]]\n\n"
    "Die Deinstallation wird normalerweise über die Systemsteuerung oder die Verknüpfung "
    "\"UnInstall\" im Startmenü gestartet.";

int Box(const std::string& text, const std::string& caption, UINT flags) {
  return ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags | MB_SETFOREGROUND);
}

// A drive or share root, or a folder that holds the Windows folder, is never a target folder.
bool IsProtectedFolder(const std::string& folder) {
  if (::PathIsRootA(folder.c_str())) return true;
  const std::string windows = platform::IncludeTrailingBackslash(platform::WindowsFolder());
  return windows.size() >= folder.size() && uninstall::SamePath(windows.substr(0, folder.size()), folder);
}

bool AnyQuietSwitch(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (uninstall::IsQuietSwitch(arg)) return true;
  }
  return false;
}

// The log of /LOG, with its first lines; no log when it is not asked for. Raises
// platform::Error when it cannot be written.
install::LogFile OpenLog(const uninstall::Options& options) {
  if (!options.log) return {};
  install::LogFile log =
      options.logFile.empty() ? install::LogFile::CreateNew(kLogName) : install::LogFile::Replace(options.logFile);
  log.StartLines("Talvenor Deinstallation");
  return log;
}

// The outcome: every removal as it happens, then what was left and why.
void LogOutcome(install::LogFile& log, const uninstall::Uninstaller& uninstaller) {
  for (const uninstall::Leftover& leftover : uninstaller.Leftovers())
    log.Line("Nicht entfernt: " + uninstall::LeftoverLine(leftover));
  if (!uninstaller.KeptTargetFolder().empty())
    log.Line("Behalten, da er weitere Dateien enthält: " + uninstaller.KeptTargetFolder());
}

int Run(const std::vector<std::string>& args, install::LogFile& log) {
  const auto options = uninstall::ParseArguments(args);
  if (!options) {
    if (!AnyQuietSwitch(args)) Box(kUsage, kDefaultCaption, MB_OK | MB_ICONERROR);
    return uninstall::kBadArguments;
  }
  try {
    log = OpenLog(*options);
  } catch (const platform::Error& e) {
    if (!options->quiet) Box(e.what(), kDefaultCaption, MB_OK | MB_ICONERROR);
    return uninstall::kBadArguments;
  }

  const std::string setupInf = platform::ExpandFileName(options->setupInf);
  const std::string target = platform::ExtractFilePath(setupInf);
  std::string problem;
  if (!platform::FileExists(setupInf)) {
    problem = platform::FormatText("Die Datei %s wurde nicht gefunden.", setupInf);
  } else if (target.empty() || IsProtectedFolder(target)) {
    problem = platform::FormatText("Der Ordner %s kann nicht deinstalliert werden.", target);
  }
  if (!problem.empty()) {
    log.Line(problem);
    if (!options->quiet) Box(problem, kDefaultCaption, MB_OK | MB_ICONERROR);
    return uninstall::kBadArguments;
  }

  uninstall::InstallRecord record = uninstall::ReadInstallRecord(setupInf);
  const std::string product = record.product;
  const std::string caption = product + " Deinstallation";
  // Held until the end: no setup of the same program may work on it meanwhile.
  const install::RunLock lock(record.programEntry);
  if (!lock.Held()) {
    const std::string running = platform::FormatText(
        "Setup oder die Deinstallation von %s läuft bereits. Bitte versuchen Sie es später noch einmal.", product);
    log.Line(running);
    if (!options->quiet) Box(running, caption, MB_OK | MB_ICONWARNING);
    return uninstall::kAnotherRunning;
  }
  // A setup run of this installation that never finished is undone first; it may have been all
  // there was of the installation.
  const uninstall::InterruptedRun interrupted = uninstall::RecoverInterruptedRun(record);
  if (!options->quiet && !interrupted.text.empty())
    Box(interrupted.text, caption,
        MB_OK | (interrupted.outcome == install::Recovery::RolledBack ? MB_ICONINFORMATION : MB_ICONWARNING));
  if (interrupted.outcome == install::Recovery::Incomplete) return uninstall::kSomethingLeft;
  if (!platform::FileExists(setupInf)) return uninstall::kAllRemoved;
  if (interrupted.outcome == install::Recovery::RolledBack) record = uninstall::ReadInstallRecord(setupInf);

  if (!options->quiet && Box(platform::FormatText("Möchten Sie %s und alle zugehörigen Dateien von diesem Computer "
                                                  "entfernen?",
                                                  product),
                             caption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    log.Line("Die Deinstallation wurde abgelehnt.");
    return uninstall::kSomethingLeft;
  }

  // Out of the target folder, so that it can be removed.
  platform::SetCurrentFolder(platform::WindowsFolder());
  platform::ComApartment com;
  // What setup recorded where no user can change it decides what goes; an installation from
  // before that record is removed by Setup.inf's list with the checks of its own.
  const std::optional<install::InstallStore> store =
      install::InstallStore::FindBySetupInf(setupInf, uninstall::SamePath);
  std::optional<install::InstallationRecord> stored = store ? store->LoadRecord() : std::nullopt;
  uninstall::Uninstaller uninstaller(setupInf, std::move(record), stored);
  uninstaller.OnRemoved = [&log](const std::string& removed) { log.Line("Entfernt: " + removed); };
  if (!stored) log.Line(kWithoutRecord);
  uninstaller.Run();
  LogOutcome(log, uninstaller);

  const bool complete = uninstaller.Leftovers().empty();
  if (store && complete) store->Remove();
  if (!options->quiet) {
    std::string report = uninstall::ReportText(product, uninstaller.Leftovers(), uninstaller.KeptTargetFolder());
    if (!stored) report += std::string("\n\n") + kWithoutRecord;
    Box(report, caption, MB_OK | (complete ? MB_ICONINFORMATION : MB_ICONWARNING));
  }
  return complete ? uninstall::kAllRemoved : uninstall::kSomethingLeft;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::RestrictDllSearch();
  const std::vector<std::string> args(__argv + 1, __argv + __argc);
  install::LogFile log;
  int code = uninstall::kSomethingLeft;
  try {
    code = Run(args, log);
  } catch (const std::exception& e) {
    log.Line(std::string("Fehler: ") + e.what());
    if (!AnyQuietSwitch(args)) Box(e.what(), kDefaultCaption, MB_OK | MB_ICONERROR);
  }
  log.Line("Exit-Code: " + std::to_string(code));
  return code;
}
