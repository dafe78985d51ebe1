// What an installation run reports while it works. The wizard shows it in its windows; an
// unattended run writes it to its log.
#pragma once

#include "install_result.h"

#include <string>

namespace install {

enum class InstallStep {
  CopyDescription,  // Setup.inf into the target folder
  ProgramEntry,     // the program entry in the registry
  UninstallEntry,   // the uninstall entry, the uninstaller copy and its link
  Extraction,       // the archive's members
  InstalledFiles,   // the list of written files in the copy
};

class InstallObserver {
 public:
  virtual ~InstallObserver() = default;
  virtual void StepStarted(InstallStep) {}
  // A member is about to be written: its name relative to the target folder, its size and its
  // share of the archive's total in percent.
  virtual void FileStarted(const std::string& /*name*/, int /*size*/, int /*sharePercent*/) {}
  // A member failed: its name (empty when the library named none), the library's error code
  // and the reason in the user's language.
  virtual void MemberFailed(const std::string& /*name*/, int /*errorCode*/, const std::string& /*reason*/) {}
  // A registry value, file or link that the run wrote outside the extraction.
  virtual void Wrote(const std::string& /*what*/, const std::string& /*detail*/) {}
  // A stopped run is being undone: each change as it is undone, or left in place because it
  // could not be.
  virtual void RollbackStarted() {}
  virtual void Undone(const std::string& /*what*/, bool /*succeeded*/) {}
  virtual void Finished(InstallResult) {}
  // Asked between members: the user or the program wants the run to stop.
  virtual bool StopRequested() { return false; }
};

}  // namespace install
