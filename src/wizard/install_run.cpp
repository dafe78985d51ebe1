// The wizard's side of the installation run: it starts the run from its timer, shows each
// file in the copy-progress window and the file list, and brings the wizard back on the
// finish page (or, when the target has gone, on the folder page).
#include "Unit2.h"

#include "IniLang.h"
#include "ShellLinkWriter.h"
#include "Unit1.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Unit7.h"
#include "Unit8.h"
#include "ZipArchive.h"
#include "application.h"
#include "extraction_record.h"
#include "files.h"
#include "install_log.h"
#include "installation_run.h"
#include "observer_pair.h"

using namespace forms;

namespace {

// What went wrong, in one box: the first entries named one by one, the rest counted.
constexpr size_t kFailuresShown = 10;

void ReportList(const std::vector<std::string>& items, const std::string& heading) {
  Application::Instance().MessageBox(
      install::FailureReport(items, heading, LangText("... und %d weitere", "install_failed_more"), kFailuresShown),
      MB_OK | MB_ICONWARNING);
}

// The copy window at once: the message loop does not run while the run is undone.
void PaintCopyWindow() {
  ::RedrawWindow(Form5->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

void TForm2::Timer1Timer() {
  Get<Timer>("Timer1").SetEnabled(false);
  install::Session& session = install::TheSession();
  install::ObserverPair observers(*this, install::TheLog());
  install::InstallationRun run(session, ZipArchive1(), progman2(), observers);
  install::TheLog().RunStarts(session);
  const install::InstallResult result = run.Run();
  if (result != install::InstallResult::FailedBeforeWriting) session.RunResult = result;
  if (run.Error()) install::TheLog().Line(install::ErrorText(run.Error()));
  if (result == install::InstallResult::FailedBeforeWriting) {
    Form5->Hide();
    Form7->Hide();
    // A folder that has gone, or has become a link, is chosen again; anything else that stops
    // the run before it writes (the medium's description, too little free space) is reported
    // on the ready page.
    if (run.Error()) {
      Application::Instance().Dispatch([&] { std::rethrow_exception(run.Error()); });
      ReturnToPage("ready", "Fertig zum Kopieren", "install_4");
    } else {
      ReportUnusableFolder(session.TargetFolder);
      ReturnToPage("Dir", "Verzeichnissauswahl", "install_3");
    }
    return;
  }
  Form4->Edit1().SetText(session.TargetFolder);
  ResetFileList(run.WrittenFiles());
  if (result == install::InstallResult::RollbackIncomplete) ReportNotUndone(notUndone_);
  // An error stopped the run, which was undone: it is reported, and the copy-progress and
  // picture windows stay so that the user leaves through "Abbruch".
  if (run.Error()) std::rethrow_exception(run.Error());
  // "Beenden" in the cancel confirmation ended the program during the extraction, and what
  // the run had written was undone.
  if (result == install::InstallResult::StoppedByUser || result == install::InstallResult::RollbackIncomplete) return;
  ::Sleep(500);
  platform::SetCurrentFolder(session.SourceDir);
  const bool complete = result == install::InstallResult::Complete;
  if (!complete) ReportFailedMembers(run.Failures());
  ShowFinishPage(complete);
}

// The file list names only what is on disk: members that failed or were interrupted leave it.
void TForm2::ResetFileList(const std::vector<std::string>& written) {
  ListBox& files = Get<ListBox>("ListBox1");
  files.Clear();
  for (const std::string& file : written) files.Add(file);
}

// One box for everything that was not installed.
void TForm2::ReportFailedMembers(const std::vector<std::string>& failures) {
  ReportList(failures, LangText("Folgende Dateien konnten nicht installiert werden:", "install_failed"));
}

// One box for what could not be undone; the next start tries again.
void TForm2::ReportNotUndone(const std::vector<std::string>& notUndone) {
  ReportList(notUndone, LangText("Folgendes konnte nicht rückgängig gemacht werden; Setup versucht es beim nächsten "
                                 "Start noch einmal:",
                                 "install_not_undone"));
}

void TForm2::ShowFinishPage(bool complete) {
  Form5->Hide();
  Form7->Hide();
  Form8->Hide();
  if (!complete)
    Get<Label>("Label16").SetCaption(LangText("Die Installation ist unvollständig.", "install_incomplete"));
  ShowPage("ende");
  SetCaptionFromKey("Installation beendet", "install_12");
  Tag = 2;
  Show();
}

// Each file as the extraction reaches it: its full path in the copy-progress window and the
// file list, and its share of the archive on the bar.
void TForm2::FileStarted(const std::string& name, int /*size*/, int sharePercent) {
  const std::string path = install::TheSession().TargetFolder + name;
  Form5->ShowFile(path, sharePercent);
  Get<ListBox>("ListBox1").Add(path);
}

bool TForm2::StopRequested() { return Application::Instance().Terminated(); }

// While a stopped run is undone, the copy window says so and names the changes as they are
// undone.
void TForm2::RollbackStarted() {
  Form6->Hide();
  notUndone_.clear();
  const std::string undoing = LangText("Die Installation wird rückgängig gemacht ...", "install_rollback");
  Form5->Get<Label>("Label1").SetCaption(undoing);
  Form5->Get<Label>("Label2").SetCaption("");
  PaintCopyWindow();
}

void TForm2::Undone(const std::string& what, bool succeeded) {
  if (!succeeded) notUndone_.push_back(what);
  // A few times a second is enough to read, and costs the undo of many files nothing.
  const unsigned long now = ::GetTickCount();
  if (now - undoShownAt_ < 100) return;
  undoShownAt_ = now;
  Form5->Get<Label>("Label2").SetCaption(what);
  PaintCopyWindow();
}
