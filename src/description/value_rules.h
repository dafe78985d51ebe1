// The rules that the values of Setup.inf used as file names, paths and registry keys must
// meet before an elevated setup acts on them: each must stay inside the folder or key it is
// meant for. Setup checks them before it writes anything; make-medium before it writes a
// medium.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace setupinf {

// What the rules look at, as read from one Setup.inf.
struct PathValues {
  std::string programEntry;     // Program/ProgramEntry: a key below HKEY_LOCAL_MACHINE
  std::string uninstallEntry;   // Uninstall/UnInstallEntry: a key below the Uninstall key
  std::string uninstallString;  // UnInstall/UninstallString: a file copied into the Windows folder
  std::string groupName;        // Group/Groupname: a folder below the Programs menu
  std::vector<std::pair<std::string, std::string>> groupEntries;  // link name, program
  std::string autostartExe;   // Autostart/ExeString: program (relative) and parameters
  std::string autostartName;  // Autostart/Description: the Startup link's name
};

enum class Rule {
  PlainFileName,    // not empty, no "\", "/", ":", and not "." or ".."
  BelowTarget,      // relative, no drive, no ".." part
  BelowKnownPlace,  // no drive, no ".." part
  NotEmpty,         // below its key, and not empty
};

struct ValueProblem {
  std::string section;
  std::string key;
  std::string value;
  Rule rule;
};

bool IsPlainFileName(const std::string& name);
// A path that may have subfolders but stays below the folder it is relative to.
bool StaysBelow(const std::string& relativePath);
// A folder or key path below a known place: no drive, no ".." part (a leading "\" is allowed).
bool StaysBelowKnownPlace(const std::string& path);

// Whether a target folder names its place absolutely: a drive letter, a colon and a backslash
// ("X:\..."), or a network share ("\\server\share...").
bool IsAbsoluteFolderPath(const std::string& path);

// Every value of `values` that breaks its rule, in the order of the file's description.
std::vector<ValueProblem> CheckPathValues(const PathValues& values);

// The program part of Autostart/ExeString: everything before its first blank.
std::string AutostartProgram(const std::string& exeString);

}  // namespace setupinf
