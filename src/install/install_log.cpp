#include "install_log.h"

#include "files.h"

namespace install {

namespace {

const char* ResultText(InstallResult result) {
  switch (result) {
    case InstallResult::Complete: return "vollständig installiert";
    case InstallResult::Incomplete: return "unvollständig installiert";
    case InstallResult::FailedBeforeWriting: return "gescheitert, bevor etwas geschrieben wurde";
    case InstallResult::CancelledBeforeWriting: return "abgebrochen, bevor etwas geschrieben wurde";
    case InstallResult::StoppedByUser: return "während der Installation abgebrochen";
    case InstallResult::StoppedByError: return "wegen eines Fehlers während der Installation abgebrochen";
    case InstallResult::RollbackIncomplete: return "abgebrochen; nicht alles ließ sich rückgängig machen";
  }
  return "?";
}

}  // namespace

void InstallLog::Open(LogFile file) {
  file_ = std::move(file);
  file_.StartLines("Talvenor Setup");
}

void InstallLog::Line(const std::string& text) { file_.Line(text); }

void InstallLog::RunStarts(const Session& session) {
  target_ = platform::IncludeTrailingBackslash(session.TargetFolder);
  Line("Medium: " + session.SourceDir);
  Line("Sprache: " + session.LanguageFile + (session.FixedLanguage ? " (im Setup.inf festgelegt)" : ""));
  Line("Zielordner: " + target_);
}

void InstallLog::ExitCode(int code) { Line("Exit-Code: " + std::to_string(code)); }

void InstallLog::FileStarted(const std::string& name, int size, int) {
  MemberDone();
  pending_ = Member{name, size};
}

void InstallLog::MemberFailed(const std::string& name, int errorCode, const std::string& reason) {
  if (pending_ && (name == pending_->name || name.empty())) pending_.reset();
  Line("Nicht installiert: " + (name.empty() ? std::string() : target_ + name + ": ") + reason + " (Fehler " +
       std::to_string(errorCode) + ")");
}

void InstallLog::MemberDone() {
  if (!pending_) return;
  Line("Datei: " + target_ + pending_->name + " (" + std::to_string(pending_->size) + " Bytes)");
  pending_.reset();
}

void InstallLog::Wrote(const std::string& what, const std::string& detail) {
  Line("Geschrieben: " + what + (detail.empty() ? std::string() : " = " + detail));
}

void InstallLog::RollbackStarted() {
  MemberDone();
  Line("Rückgängig machen:");
}

void InstallLog::Undone(const std::string& what, bool succeeded) {
  Line((succeeded ? "Rückgängig gemacht: " : "Bleibt zurück: ") + what);
}

void InstallLog::Finished(InstallResult result) {
  MemberDone();
  Line(std::string("Ergebnis: ") + ResultText(result));
}

InstallLog& TheLog() {
  static InstallLog log;
  return log;
}

std::string ErrorText(const std::exception_ptr& error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
  }
  return "Unbekannter Fehler";
}

}  // namespace install
