// The uninstaller's decisions that need no Win32: its arguments, which InstalledFiles
// entries count, which folders an installation leaves behind, and the final report's text.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace uninstall {

// Exit codes of UnInstall.exe.
enum ExitCode { kAllRemoved = 0, kSomethingLeft = 1, kBadArguments = 2, kAnotherRunning = 6 };

struct Options {
  std::string setupInf;  // the copy of Setup.inf in the target folder
  bool quiet = false;    // "/quiet": no questions, no final box, only the exit code
  bool log = false;      // "/LOG" or "/LOG=file"
  std::string logFile;   // empty with "/LOG" alone: a new file in the temporary folder
};

// "/quiet" in any letter case.
bool IsQuietSwitch(const std::string& arg);

// The arguments after the program name: one path, and optionally "/quiet" and "/LOG" or
// "/LOG=file" (switches in any letter case, before or after it). Anything else gives nullopt.
std::optional<Options> ParseArguments(const std::vector<std::string>& args);

// The files of an InstalledFiles section (its lines as key and value): entries "0" to
// Count - 1 in numeric order. Keys are decimal without sign or leading zeros; a number that
// appears twice counts once (its first line), missing numbers and empty values are skipped.
std::vector<std::string> ListedFiles(const std::vector<std::pair<std::string, std::string>>& section);

// Whether a path still has a "." or ".." segment or a forward slash, which a resolved full
// path never has: such a path cannot be checked against a folder by its prefix.
bool HasUnresolvedSegments(const std::string& path);

// A relative folder and each folder above it, deepest first: "a\b" gives "a\b", "a". Empty
// segments are dropped; a path with a "." or ".." segment or a drive colon gives nothing,
// since it could name a folder outside the one it is taken relative to.
std::vector<std::string> FolderLevels(const std::string& relativeFolder);

// The folders that hold the given relative file paths, with every level above them, each
// once, deepest first: the order in which emptied folders can be removed.
std::vector<std::string> FoldersToRemove(const std::vector<std::string>& relativeFiles);

// The text between the last pair of double quotes of a command line; "" without one.
std::string LastQuotedField(const std::string& commandLine);

// Something that setup wrote and the uninstaller left in place.
enum class Reason {
  OutsideTarget,  // a listed file outside the target folder
  DeleteFailed,   // the deletion failed
  NotOurs,        // a link or registry entry of that name belongs to something else
  NotRecorded,    // listed in Setup.inf, but the installation's own record does not name it
};
struct Leftover {
  std::string item;
  Reason reason;
};

constexpr size_t kMaxReportedItems = 20;

// The final message: that everything was removed, or what was not and why; a target folder
// that still holds other files is named as kept.
// One leftover and why, on one line: for the log.
std::string LeftoverLine(const Leftover& leftover);

std::string ReportText(const std::string& product, const std::vector<Leftover>& leftovers,
                       const std::string& keptTargetFolder);

}  // namespace uninstall
