// Setup's log: what the installation run and the finish report, and what setup would have
// said in a message box, each as one line of the log file the moment it happens. Without
// /LOG nothing is written.
#pragma once

#include "install_observer.h"
#include "log_file.h"
#include "session.h"

#include <exception>
#include <optional>
#include <string>

namespace install {

class InstallLog : public InstallObserver {
 public:
  // Starts the log in `file` with its first lines.
  void Open(LogFile file);
  bool IsOpen() const { return file_.IsOpen(); }
  const std::string& Path() const { return file_.Path(); }

  // Any other event, such as the text of a message box.
  void Line(const std::string& text);
  // The run begins: the medium, the language and the target folder.
  void RunStarts(const Session& session);
  void ExitCode(int code);

  void FileStarted(const std::string& name, int size, int sharePercent) override;
  void MemberFailed(const std::string& name, int errorCode, const std::string& reason) override;
  void Wrote(const std::string& what, const std::string& detail) override;
  void RollbackStarted() override;
  void Undone(const std::string& what, bool succeeded) override;
  void Finished(InstallResult result) override;

 private:
  // The member announced last is written once the next one starts or the run ends, unless
  // the library reported it failed meanwhile.
  struct Member {
    std::string name;
    int size;
  };
  void MemberDone();

  LogFile file_;
  std::string target_;  // ends in a backslash
  std::optional<Member> pending_;
};

// The log of this process.
InstallLog& TheLog();

// The text of an error that stopped a run.
std::string ErrorText(const std::exception_ptr& error);

}  // namespace install
