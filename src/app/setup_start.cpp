#include "setup_start.h"

#include "IniLang.h"
#include "error.h"
#include "files.h"
#include "handle.h"
#include "install_log.h"
#include "install_result.h"
#include "session.h"

namespace app {

namespace {

constexpr char kTitle[] = "Talvenor Installation";
constexpr char kLogName[] = "Talvenor Setup Log";

void ShowBox(const std::string& text, UINT icon) {
  ::MessageBoxA(nullptr, text.c_str(), kTitle, MB_OK | icon | MB_SETFOREGROUND);
}

bool WriteText(HANDLE out, const std::string& text) {
  DWORD mode = 0, written = 0;
  // A console shows UTF-16 rightly whatever its code page; a file or pipe gets the ANSI bytes.
  if (::GetConsoleMode(out, &mode)) {
    const std::wstring wide = platform::Widen(text);
    return ::WriteConsoleW(out, wide.data(), DWORD(wide.size()), &written, nullptr) != 0;
  }
  return ::WriteFile(out, text.data(), DWORD(text.size()), &written, nullptr) != 0;
}

// Writes to the output that the starting program gave setup, or to the console it runs in;
// false when there is neither.
bool WriteToConsole(const std::string& text) {
  std::string lines;
  for (const char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (out && out != INVALID_HANDLE_VALUE && ::GetFileType(out) != FILE_TYPE_UNKNOWN) return WriteText(out, lines);
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  const platform::UniqueFile console(::CreateFileA(
      "CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  // The prompt of the console's shell stands at the cursor already.
  return console && WriteText(console.get(), "\r\n" + lines);
}

install::LogFile RequestedLogFile(const SetupOptions& options) {
  return options.logFile.empty() ? install::LogFile::CreateNew(kLogName) : install::LogFile::Replace(options.logFile);
}

}  // namespace

int AnswerCommandLine(const ParsedCommandLine& commandLine) {
  const bool bad = !commandLine.error.empty();
  const std::string text = bad ? commandLine.error + "\n\n" + UsageText() : UsageText();
  if (!WriteToConsole(text) && !commandLine.quiet) ShowBox(text, bad ? MB_ICONERROR : MB_ICONINFORMATION);
  return bad ? install::kExitBadCommandLine : install::kExitSuccess;
}

bool OpenRequestedLog(const SetupOptions& options) {
  if (!options.log) return true;
  try {
    install::TheLog().Open(RequestedLogFile(options));
    return true;
  } catch (const platform::Error& e) {
    if (!options.suppressMessageBoxes) ShowBox(e.what(), MB_ICONERROR);
    return false;
  }
}

void Tell(const SetupOptions& options, const std::string& text, UINT icon) {
  install::TheLog().Line("Meldung: " + text);
  if (!options.suppressMessageBoxes) ShowBox(text, icon);
}

int ReportAnotherRun(const SetupOptions& options) {
  // The other run may be writing the same log: then this one has none.
  if (options.log) {
    try {
      install::TheLog().Open(RequestedLogFile(options));
    } catch (const platform::Error&) {
    }
  }
  Tell(options,
       LangText("Setup oder die Deinstallation von Talvenor läuft bereits. Bitte warten Sie, bis sie beendet ist, "
                "und starten Sie Setup dann noch einmal.",
                "install_running"),
       MB_ICONWARNING);
  install::TheLog().ExitCode(install::kExitAnotherRunning);
  return install::kExitAnotherRunning;
}

int ExitCodeAtEnd(bool failed) {
  const auto& result = install::TheSession().RunResult;
  if (!result)
    install::TheLog().Finished(failed ? install::InstallResult::FailedBeforeWriting
                                      : install::InstallResult::CancelledBeforeWriting);
  const int code = result   ? install::ExitCodeOf(*result)
                   : failed ? install::kExitFailedBeforeWriting
                            : install::kExitCancelledBeforeWriting;
  install::TheLog().ExitCode(code);
  return code;
}

}  // namespace app
