// The wizard's side of a run that never finished (setup ended from outside, a crash, a power
// loss): before the wizard starts, that run is undone from its journal, and one box says so.
#include "Unit2.h"

#include "IniLang.h"
#include "ShellLinkWriter.h"
#include "application.h"
#include "error.h"
#include "files.h"
#include "profile.h"
#include "rollback.h"
#include "session.h"
#include "setup_description.h"

namespace {

class NotUndone : public install::InstallObserver {
 public:
  void Undone(const std::string& what, bool succeeded) override {
    if (!succeeded) failures.push_back(what);
  }
  std::vector<std::string> failures;
};

std::string FolderOf(shelllink::TShellFolderKind kind) {
  const std::string folder = shelllink::ShellFolderPath(kind);
  return folder.empty() ? folder : platform::IncludeTrailingBackslash(folder);
}

}  // namespace

void TForm2::RecoverInterruptedRun() {
  // The medium beside setup names the installation, as it does for the lock of one run.
  const platform::ProfileFile inf(install::TheSession().ExeDir + setupinf::kFileName);
  const std::string uninstallEntry = inf.Read(setupinf::kUninstallEntry);
  const std::optional<install::InstallStore> store = install::InstallStore::Find(uninstallEntry);
  if (!store) return;
  const install::JournalPlaces places{uninstallEntry,
                                      inf.Read(setupinf::kProgramEntry),
                                      store->Folder(),
                                      platform::IncludeTrailingBackslash(platform::WindowsFolder()),
                                      {FolderOf(shelllink::sfProgramsMenu), FolderOf(shelllink::sfStartup)}};
  NotUndone observer;
  forms::Application& app = forms::Application::Instance();
  switch (install::RecoverInterruptedRun(*store, places, observer)) {
    case install::Recovery::RolledBack:
      app.MessageBox(LangText("Die letzte Installation wurde nicht abgeschlossen. Setup hat rückgängig gemacht, was "
                              "sie bereits geändert hatte.",
                              "install_recovered"),
                     MB_OK | MB_ICONINFORMATION);
      break;
    case install::Recovery::Incomplete: ReportNotUndone(observer.failures); break;
    case install::Recovery::Refused:
      app.MessageBox(platform::FormatText(LangText("Das Protokoll einer unterbrochenen Installation ist beschädigt "
                                                   "oder gehört nicht zu dieser Installation. Es wurde nicht befolgt "
                                                   "und liegt unter %s.",
                                                   "install_journal_refused")
                                              .c_str(),
                                          store->RefusedJournalPath()),
                     MB_OK | MB_ICONWARNING);
      break;
    default: break;
  }
}
