// The log of setup or the uninstaller (/LOG): UTF-8 text, one line per event with its local
// time. Each line goes to the file the moment it happens, in one write, so the log can be read
// while the program runs and holds every line up to the last one after a crash. Both programs
// run elevated: a log is never written through a name that someone else placed.
#pragma once

#include "handle.h"

#include <string>

namespace install {

class LogFile {
 public:
  // No log: Line does nothing.
  LogFile() = default;

  // Creates the file, or replaces the content of the file that is there. Raises
  // platform::Error when it cannot, or when the name is a link or a second name of a file.
  static LogFile Replace(const std::string& path);
  // A new file "<name> <date> #<n>.txt" in the temporary folder, with the first number whose
  // name is free: no file or link of that name exists. Raises platform::Error when none is.
  static LogFile CreateNew(const std::string& name);

  bool IsOpen() const { return bool(file_); }
  const std::string& Path() const { return path_; }

  // One line: the local time, a blank and the text, which is in the ANSI code page.
  void Line(const std::string& text);
  // The first lines of every log: the command line, the program's version, Windows's version.
  void StartLines(const std::string& program);

 private:
  LogFile(platform::UniqueFile file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}

  platform::UniqueFile file_;
  std::string path_;
};

}  // namespace install
