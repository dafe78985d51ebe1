// What the copy of Setup.inf in the target folder tells about an installation: the same keys,
// with the same defaults, that setup used when it wrote the registry entries and the links,
// and the InstalledFiles list that it added.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace uninstall {

struct InstallRecord {
  std::string product;                                          // UnInstall / DisPlayName
  std::string programEntry;                                     // Program / ProgramEntry: key below HKEY_LOCAL_MACHINE
  std::string uninstallEntry;                                   // Uninstall / UnInstallEntry: the uninstall key's name
  std::string group;                                            // Group / Groupname: subfolder of the Programs menu
  std::vector<std::pair<std::string, std::string>> groupLinks;  // GroupEntries: name, target
  std::string autostartName;                                    // Autostart / Description
  std::string autostartExe;                                     // Autostart / ExeString
  std::vector<std::string> files;                               // InstalledFiles, the copy of Setup.inf last
};

InstallRecord ReadInstallRecord(const std::string& setupInf);

}  // namespace uninstall
