// Removes one installation: the links setup wrote into the Programs menu and the Startup
// folder, its program entry and uninstall entry in the registry, the listed files below the
// target folder and the folders that this leaves empty. Everything is checked to belong to
// this installation first; what is left in place is collected for the report.
#pragma once

#include "install_record.h"
#include "installation_record.h"
#include "registry.h"
#include "rollback.h"
#include "uninstall_core.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace uninstall {

// Whether two paths name the same file: an ordinal comparison without regard to case, as the
// file system compares names (not the user's locale, which ignores some characters).
bool SamePath(const std::string& a, const std::string& b);

// What the uninstaller did with the journal of a setup run of this installation that never
// finished (setup was ended from outside, or the machine went down), and the text of the box
// that says so ("" when there is nothing to say).
struct InterruptedRun {
  install::Recovery outcome = install::Recovery::Nothing;
  std::string text;
};
// Undoes that run before anything is removed.
InterruptedRun RecoverInterruptedRun(const InstallRecord& record);

class Uninstaller {
 public:
  // `setupInf`: full path of the copy of Setup.inf; its folder is the target folder. With the
  // installation's own record (`stored`), only what it names is removed, and what Setup.inf
  // lists besides is refused.
  Uninstaller(std::string setupInf, InstallRecord record,
              std::optional<install::InstallationRecord> stored = std::nullopt);

  void Run();

  // Told each link, registry value or key, file and folder as it is removed.
  std::function<void(const std::string& removed)> OnRemoved;

  const std::vector<Leftover>& Leftovers() const { return leftovers_; }
  // The target folder when it still exists because it holds files of others; else "".
  const std::string& KeptTargetFolder() const { return keptTarget_; }

 private:
  struct LinkContents {
    std::string target;
    std::string arguments;
  };

  void Removed(const std::string& what) const {
    if (OnRemoved) OnRemoved(what);
  }
  void RemoveFolder(const std::string& path) const;
  void RemoveLinks();
  void RemoveLink(const std::string& path, const std::function<bool(const LinkContents&)>& isOurs);
  void RemoveProgramEntry();
  void RemoveUninstallEntry();
  // Deletes the named values of a key below HKEY_LOCAL_MACHINE when `isOurs` accepts the
  // key, then the key itself when nothing else is left in it and `mayDeleteKey`.
  void RemoveRegistryValues(const std::string& path, const std::vector<const char*>& values,
                            const std::function<bool(const platform::Registry&)>& isOurs, bool mayDeleteKey);
  void RemoveFiles();
  void RemoveFolders();
  void RemoveRecordedLinks();
  void DeleteOwnFile(const std::string& full);

  bool InTarget(const std::string& path) const;
  bool TargetOrBelow(const std::string& path) const;
  bool NamesOurSetupInf(const std::string& path) const;
  std::string LinkedFolderOnTheWay(const std::string& full) const;

  std::string setupInf_;
  std::string target_;  // ends in a backslash
  InstallRecord record_;
  std::vector<std::string> removedRelative_;
  std::vector<std::string> links_;  // folder links below the target, relative to it
  std::vector<Leftover> leftovers_;
  std::string keptTarget_;
  std::optional<install::InstallationRecord> stored_;
};

}  // namespace uninstall
