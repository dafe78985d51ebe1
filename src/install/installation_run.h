// The installation run, without any window: the copy of Setup.inf into the target folder,
// the program entry, the uninstall entry, the uninstaller in the Windows folder with its link,
// the extraction of the archive and the list of written files in the copy; then, on request,
// the finish links. Every change is recorded in the run's journal before it is made: a run
// that the user stops or an error ends is undone, and one that reaches the list of written
// files commits. It reports to an observer and ends with one result. The wizard and the
// command line both drive it.
#pragma once

#include "extraction_record.h"
#include "member_failure.h"
#include "install_store.h"
#include "file_identity.h"
#include "install_observer.h"
#include "install_result.h"
#include "run_journal.h"
#include "session.h"
#include "zip_types.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <set>
#include <string>
#include <vector>

class TZipArchive;
namespace forms {
class Component;
}
namespace platform {
class ProfileFile;
}
namespace shelllink {
class TShellLinkWriter;
}

namespace install {

// What the run takes from the archive's directory before it writes anything.
struct ArchiveListing {
  std::vector<uint64_t> sizes;       // every member's uncompressed size
  std::vector<std::string> folders;  // the folder entries, relative, ending in "\"
};

class InstallationRun {
 public:
  // The archive component and the link writer are the caller's (the wizard's own components,
  // or ones made for an unattended run); the run becomes the archive's event listener.
  InstallationRun(Session& session, TZipArchive& archive, shelllink::TShellLinkWriter& links,
                  InstallObserver& observer);

  // Runs every step up to the list of written files. Never raises: an error that stopped the
  // run is kept in Error().
  InstallResult Run();

  // Full paths of the files the extraction wrote, in the order the library reported them.
  std::vector<std::string> WrittenFiles() const;
  // What was not installed, one line each with its reason in the user's language: the failed
  // members, or the archive itself when nothing was extracted and no member was named.
  std::vector<std::string> Failures() const;
  // The error that stopped the run, if one did.
  std::exception_ptr Error() const { return error_; }

  // The target folder can take the installation: an absolute path of an existing folder.
  static bool TargetFolderUsable(const std::string& folder);

 private:
  void CheckDescription();
  void CheckFreeSpace();
  void CopyDescription();
  void VerifyCopy() const;
  void WriteProgramEntry(const platform::ProfileFile& copy);
  void WriteUninstallEntry(const platform::ProfileFile& copy);
  void Extract();
  // The record of what the installation wrote; over an earlier installation in the same
  // folder, what that one wrote and is still there as well.
  InstallationRecord Record(const platform::ProfileFile& copy) const;
  void WriteInstalledFiles(const platform::ProfileFile& copy, const InstallationRecord& record);
  void Commit(const platform::ProfileFile& copy);
  InstallResult Undo(InstallResult stopped);
  InstallResult Outcome() const;
  std::string ReasonFor(const MemberFailure& failure) const;
  void ArchiveProgress(ProgressType type, const std::string& name, int size);
  void ArchiveMessage(int code, const std::string& text);

  Session& session_;
  TZipArchive& archive_;
  shelllink::TShellLinkWriter& links_;
  InstallObserver& observer_;
  ExtractionRecord extraction_;
  std::optional<InstallStore> store_;
  std::optional<ArchiveListing> listing_;  // the archive's directory, when it lists
  std::string copyContent_;                // what the copy of Setup.inf was written with
  platform::FileIdentity copyIdentity_;
  std::string programEntry_;  // the keys the run wrote
  std::string uninstallKey_;
  std::optional<RunJournal> journal_;
  std::set<std::string> notUpdated_;  // failed members whose earlier file stays
  std::exception_ptr setAsideError_;  // an old file could not be kept: the extraction stopped
  std::string uninstallerCopy_;
  std::vector<std::string> writtenLinks_;
  bool joining_ = false;  // the parts of a multi-part archive are being joined
  std::exception_ptr error_;
};

// The finish: the autostart link when `autostart` is set and the medium names a program, then
// the program group's links; both from the Setup.inf in SourceDir. The links are added to the
// installation's record when it has one. Raises platform::Error when the shell's link object
// cannot be had.
void WriteFinishLinks(const Session& session, shelllink::TShellLinkWriter& links, InstallObserver& observer,
                      bool autostart);

}  // namespace install
