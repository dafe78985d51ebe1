#include "unattended.h"

#include "IniLang.h"
#include "ShellLinkWriter.h"
#include "Unit5.h"
#include "ZipArchive.h"
#include "application.h"
#include "drive_check.h"
#include "error.h"
#include "extraction_record.h"
#include "files.h"
#include "install_log.h"
#include "installation_run.h"
#include "observer_pair.h"
#include "part_names.h"
#include "profile.h"
#include "setup_description.h"
#include "setup_forms.h"
#include "setup_start.h"
#include "value_rules.h"
#include "wizard_rules.h"

#include <memory>
#include <optional>

namespace app {

namespace {

using install::InstallResult;

// Failed members named one by one in the report; the rest are counted.
constexpr size_t kFailuresShown = 10;

// What keeps Setup.zip from being extracted with nobody to ask: it cannot be listed, or it is
// the last part of a set whose other parts are not numbered files beside it on a fixed or
// network drive, so a disk would have to be asked for. Empty when nothing does.
std::string ArchiveProblem(const std::string& archive) {
  TZipArchive lister(nullptr, "ArchiveCheck");
  lister.Unattended = true;
  // A missing file keeps its name in the component; one that does not list loses it.
  if (platform::FileExists(archive)) lister.SetZipFilename(archive);
  if (lister.ZipFilename().empty())
    return platform::FormatText("Das Archiv %s fehlt oder kann nicht gelesen werden.", archive);
  const int lastDisk = lister.EndDiskNumber();
  const bool numberedFiles = ziparchive::IsFixedOrNetwork(ziparchive::DriveRoot(archive));
  for (int disk = 0; disk < lastDisk; ++disk) {
    const std::string part = span::FixedDrivePartName(archive, disk, lastDisk);
    if (!numberedFiles || !platform::FileExists(part))
      return platform::FormatText(
          "Das Archiv %s ist auf mehrere Datenträger verteilt, nach denen Setup ohne "
          "Assistent nicht fragen kann.",
          archive);
  }
  return {};
}

// The copy-progress window of /SILENT, without its "Abbruch": nothing else is shown.
class ProgressWindow : public install::InstallObserver {
 public:
  explicit ProgressWindow(const install::Session& session) : session_(session) {
    InitApplication();
    form_ = std::make_unique<TForm5>();
    Form5 = form_.get();
    forms::Form* const forms[8] = {nullptr, nullptr, nullptr, nullptr, Form5, nullptr, nullptr, nullptr};
    if (CurrentLanguage) ApplyLanguage(forms, 7, *CurrentLanguage);
    form_->Get<forms::Button>("Button1").Hide();
    form_->Get<forms::Label>("Label1").SetCaption("Extracting files to " + session.TargetFolder);
    form_->Show();
    form_->PlaceForRun();
    forms::Application::Instance().ProcessMessages();
  }
  ~ProgressWindow() override { Form5 = nullptr; }

  void FileStarted(const std::string& name, int, int sharePercent) override {
    form_->ShowFile(session_.TargetFolder + name, sharePercent);
  }
  void Close() { form_->Hide(); }

 private:
  const install::Session& session_;
  std::unique_ptr<TForm5> form_;
};

class UnattendedRun {
 public:
  explicit UnattendedRun(const SetupOptions& options) : options_(options) {}
  int Execute();

 private:
  bool ChooseLanguage();
  std::optional<std::string> ListedLanguage(const std::string& file) const;
  void LoadLanguage();
  bool CreateTargetFolder();
  void RemoveCreatedFolders();
  void TellUnusableFolder() const;
  InstallResult Install();
  InstallResult Finish(shelllink::TShellLinkWriter& links, install::InstallObserver& observer, InstallResult result);
  void Tell(const std::string& text, UINT icon) const { app::Tell(options_, text, icon); }

  const SetupOptions& options_;
  install::Session& session_ = install::TheSession();
  install::InstallLog& log_ = install::TheLog();
};

int UnattendedRun::Execute() {
  session_.SourceDir = session_.ExeDir = platform::IncludeTrailingBackslash(platform::ExeFolder());
  log_.Line("Ohne Assistent: die Lizenz gilt als von dem angenommen, der Setup so gestartet hat.");
  if (!ChooseLanguage()) return install::kExitBadCommandLine;
  const std::string archiveProblem = ArchiveProblem(session_.SourceDir + setupinf::kArchiveName);
  if (!archiveProblem.empty()) {
    Tell(archiveProblem, MB_ICONERROR);
    return install::kExitFailedBeforeWriting;
  }
  if (!CreateTargetFolder()) return install::kExitFailedBeforeWriting;
  const InstallResult result = Install();
  if (result == InstallResult::FailedBeforeWriting) RemoveCreatedFolders();
  return install::ExitCodeOf(result);
}

// The language the wizard's start-up would choose, or the one of /LANG.
bool UnattendedRun::ChooseLanguage() {
  const platform::ProfileFile inf(session_.ExeDir + setupinf::kFileName);
  session_.FixedLanguage = inf.Read(setupinf::kFixedLanguage) == setupinf::kFixedOn;
  if (!options_.languageFile.empty()) {
    const auto chosen = ListedLanguage(options_.languageFile);
    if (!chosen) {
      Tell(platform::FormatText("Die Sprachdatei %s gibt es auf dem Medium nicht.", options_.languageFile),
           MB_ICONERROR);
      return false;
    }
    session_.LanguageFile = *chosen;
  } else {
    // A fixed language is the first page's; else the language page's preselection counts, as
    // when the user goes on from that page.
    const auto preselected = session_.FixedLanguage ? std::nullopt : ListedLanguage(inf.Read(setupinf::kLanguage));
    session_.LanguageFile = preselected.value_or(inf.Read(setupinf::kFirstPage));
  }
  LoadLanguage();
  return true;
}

// The entry of the wizard's language list for a language file, as the list writes it.
std::optional<std::string> UnattendedRun::ListedLanguage(const std::string& file) const {
  for (const std::string& language : wizard::LanguageNames(platform::ListFiles(session_.ExeDir)))
    if (platform::SameText(language, wizard::WithoutLastFour(file))) return language + ".lng";
  return std::nullopt;
}

// A language file that cannot be read is reported, and setup goes on in German.
void UnattendedRun::LoadLanguage() {
  try {
    CurrentLanguage = LoadLangFile(session_.ExeDir + session_.LanguageFile);
  } catch (const platform::Error& e) {
    Tell(e.what(), MB_ICONWARNING);
  }
}

// The target folder is checked as the folder page checks it, and its missing levels belong
// to the installation.
bool UnattendedRun::CreateTargetFolder() {
  const std::string target =
      options_.targetFolder.empty() ? install::ProposedTargetFolder(session_) : options_.targetFolder;
  if (setupinf::IsAbsoluteFolderPath(target) && !platform::DirectoryExists(target)) {
    session_.CreatedFolders = platform::MissingFolderLevels(target);
    platform::ForceDirectories(target);
  }
  for (const std::string& folder : session_.CreatedFolders) log_.Line("Ordner angelegt: " + folder);
  session_.TargetFolder = target;
  if (install::InstallationRun::TargetFolderUsable(target)) return true;
  RemoveCreatedFolders();
  TellUnusableFolder();
  return false;
}

void UnattendedRun::TellUnusableFolder() const {
  Tell(LangText("Der Zielordner kann nicht angelegt werden. Bitte wählen Sie einen anderen Ordner.",
                "install_folder_invalid") +
           "\r\n\r\n" + session_.TargetFolder,
       MB_ICONERROR);
}

// Nothing was written into them: they go again, deepest first.
void UnattendedRun::RemoveCreatedFolders() {
  for (auto level = session_.CreatedFolders.rbegin(); level != session_.CreatedFolders.rend(); ++level)
    ::RemoveDirectoryA(level->c_str());
  session_.CreatedFolders.clear();
}

InstallResult UnattendedRun::Install() {
  // The wizard archive's stored configuration, without its message boxes.
  TZipArchive archive(nullptr, "ZipArchive1");
  archive.ExtrOptions = ExtrOpts{ExtrDirNames, ExtrOverWrite};
  archive.SetFSpecArgs({"*.*"});
  archive.SetDLLDirectory(platform::ExeFolder());
  shelllink::TShellLinkWriter links(nullptr, "progman2");
  std::unique_ptr<ProgressWindow> window;
  if (options_.display == Display::Silent) window = std::make_unique<ProgressWindow>(session_);
  install::InstallObserver quiet;
  install::ObserverPair observers(window ? static_cast<install::InstallObserver&>(*window) : quiet, log_);

  install::InstallationRun run(session_, archive, links, observers);
  log_.RunStarts(session_);
  const InstallResult result = run.Run();
  if (result != InstallResult::FailedBeforeWriting) session_.RunResult = result;
  if (window) window->Close();
  if (run.Error())
    Tell(install::ErrorText(run.Error()), MB_ICONERROR);
  else if (result == InstallResult::FailedBeforeWriting)
    TellUnusableFolder();
  if (result == InstallResult::Incomplete)
    Tell(install::FailureReport(run.Failures(),
                                LangText("Folgende Dateien konnten nicht installiert werden:", "install_failed"),
                                LangText("... und %d weitere", "install_failed_more"), kFailuresShown),
         MB_ICONWARNING);
  if (result != InstallResult::Complete && result != InstallResult::Incomplete) return result;
  return Finish(links, observers, result);
}

// The finish page's "&Ende": the autostart link unless /NOAUTOSTART, and the group's links.
InstallResult UnattendedRun::Finish(shelllink::TShellLinkWriter& links, install::InstallObserver& observer,
                                    InstallResult result) {
  try {
    install::WriteFinishLinks(session_, links, observer, options_.autostart);
    return result;
  } catch (const std::exception& e) {
    Tell(e.what(), MB_ICONERROR);
    return InstallResult::Incomplete;
  }
}

}  // namespace

int RunUnattended(const SetupOptions& options) {
  try {
    const int code = UnattendedRun(options).Execute();
    install::TheLog().ExitCode(code);
    return code;
  } catch (const std::exception& e) {
    Tell(options, e.what(), MB_ICONERROR);
    return ExitCodeAtEnd(true);
  }
}

}  // namespace app
