// Setup's command line: the switches of an installation that nobody watches, for deployment
// tools, and the text of /?. Without arguments setup shows its wizard. Portable, so that the
// rules are tested natively.
#pragma once

#include <string>
#include <vector>

namespace app {

enum class Display {
  Wizard,      // no switch: the wizard, as a user clicks through it
  Silent,      // /SILENT: only the copy-progress window
  VerySilent,  // /VERYSILENT: no window, message boxes only
};

struct SetupOptions {
  Display display = Display::Wizard;
  bool suppressMessageBoxes = false;  // /SUPPRESSMSGBOXES: the boxes' texts go to the log
  std::string targetFolder;           // /DIR=; empty: the folder the folder page proposes
  std::string languageFile;           // /LANG=; empty: the language the wizard starts with
  bool autostart = true;              // /NOAUTOSTART clears the finish page's box
  bool log = false;                   // /LOG or /LOG=file
  std::string logFile;                // empty with /LOG alone: a new file in the temporary folder
  bool help = false;                  // /? or /HELP

  bool Unattended() const { return display != Display::Wizard; }
};

struct ParsedCommandLine {
  SetupOptions options;
  // Why the command line cannot be used, in German; empty when it can.
  std::string error;
  // /SUPPRESSMSGBOXES was among the arguments, even when the others are wrong.
  bool quiet = false;
};

// The arguments after the program's name in a raw command line. Blanks and tabs separate
// them outside double quotes; a double quote opens or closes a quoted stretch and is dropped.
// Backslashes are plain characters, so /DIR="C:\Ziel\" keeps its trailing backslash.
std::vector<std::string> SplitArguments(const std::string& commandLine);

// Switches start with "/" or "-" and match without regard to case; a value follows "=".
// Anything unknown, a value where none belongs, a missing or malformed value, a switch given
// twice and a switch of the unattended run without /SILENT or /VERYSILENT is an error.
ParsedCommandLine ParseArguments(const std::vector<std::string>& args);

// The text of /? and /HELP: every switch and every exit code.
std::string UsageText();

}  // namespace app
