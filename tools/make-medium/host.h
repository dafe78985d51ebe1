// What the medium builder asks of the operating system, with text in UTF-8 on both sides:
// arguments, environment, the terminal, a folder's tree, private temporary files and child
// programs. host_posix.cpp and host_win32.cpp implement it; the rest of the tool is portable.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace medium::host {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// The program's arguments in UTF-8 (on Windows from the wide command line, so that names in
// any script survive).
std::vector<std::string> Arguments(int argc, char** argv);

// UTF-8 text written to the standard streams shows as such in a console window while the
// object lives.
class ConsoleText {
 public:
  ConsoleText();
  ~ConsoleText();
  ConsoleText(const ConsoleText&) = delete;
  ConsoleText& operator=(const ConsoleText&) = delete;

 private:
  unsigned previousCodePage_ = 0;
};

// Whether the stream goes to a terminal or console window (not a file or pipe).
bool IsTerminal(std::FILE* stream);

// The variable's value; false when it is not set.
bool Environment(const std::string& name, std::string& value);

struct TreeEntry {
  enum Kind { kFile, kFolder, kFolderLink, kOther };
  std::string name;  // below the listed folder, "/" separators
  Kind kind = kOther;
  std::time_t modified = 0;
};

// Every entry below `folder`, folders before their contents. Links to folders (junctions on
// Windows) are reported and not followed. False, with `error`, when a folder cannot be listed.
bool ListTree(const std::string& folder, std::vector<TreeEntry>& entries, std::string& error);

// A new folder that only this user may open, removed with its contents when the object goes.
// Path() is empty when none could be made.
class PrivateFolder {
 public:
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Creates a new file that only this user may read (a password handed to a child program).
bool WritePrivateFile(const std::string& path, const std::string& bytes);

// Runs the program at `command[0]` (a full path, no shell) with the other elements as its
// arguments and waits for it. Its output and error output end up in `output`. Returns its
// exit code, or -1 when it could not be started.
int Run(const std::vector<std::string>& command, std::string& output);

}  // namespace medium::host
