#include "install_record.h"

#include "profile.h"
#include "uninstall_core.h"

namespace uninstall {

InstallRecord ReadInstallRecord(const std::string& setupInf) {
  const platform::ProfileFile inf(setupInf);
  InstallRecord record;
  record.product = inf.ReadString("UnInstall", "DisPlayName", "Talvenor");
  record.programEntry = inf.ReadString("Program", "ProgramEntry", "Talvenor");
  record.uninstallEntry = inf.ReadString("Uninstall", "UnInstallEntry", "Talvenor");
  record.group = inf.ReadString("Group", "Groupname", "");
  for (const std::string& key : inf.ReadSectionKeys("GroupEntries")) {
    record.groupLinks.emplace_back(key, inf.ReadString("GroupEntries", key, ""));
  }
  record.autostartName = inf.ReadString("Autostart", "Description", "");
  record.autostartExe = inf.ReadString("Autostart", "ExeString", "");
  record.files = ListedFiles(inf.ReadSection("InstalledFiles"));
  return record;
}

}  // namespace uninstall
