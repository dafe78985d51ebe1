// The permanent record of what an installation wrote, kept in the installation's own store
// where no user can change it: the target folder, the registry keys, the uninstaller copy,
// the folders and files it created and the links. The uninstaller removes only what this
// record names. Plain text, one entry a line ("kind<TAB>value"), under a versioned header
// line; a record that does not parse is refused whole.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace install {

struct InstallationRecord {
  std::string target;                // the target folder, ending in a backslash
  std::string setupInf;              // the copy of Setup.inf in it
  std::string programEntry;          // key below HKEY_LOCAL_MACHINE
  std::string uninstallEntry;        // key below HKEY_LOCAL_MACHINE
  std::string uninstaller;           // the copy in the Windows folder
  std::vector<std::string> folders;  // created by the installation, outermost first
  std::vector<std::string> files;    // full paths below the target folder
  std::vector<std::string> links;    // full paths of the .lnk files

  std::string Serialize() const;
  // Nothing when the text is not a record of this version or names a file outside the target.
  static std::optional<InstallationRecord> Parse(const std::string& text);
};

// The record of an installation made over an earlier one in the same target folder: what
// `current` names, then the files, links and folders of `previous` that it lacks and that
// still exist, so that the uninstaller removes what either version installed. The copy of
// Setup.inf stays the last file. A previous record of another target folder adds nothing.
InstallationRecord UpdatedFrom(const InstallationRecord& previous, InstallationRecord current,
                               const std::function<bool(const std::string& path)>& exists);

}  // namespace install
