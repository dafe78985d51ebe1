#include "install_record.h"

#include "profile.h"
#include "setup_description.h"
#include "uninstall_core.h"

namespace uninstall {

InstallRecord ReadInstallRecord(const std::string& setupInf) {
  const platform::ProfileFile inf(setupInf);
  InstallRecord record;
  record.product = inf.Read(setupinf::kDisplayName);
  record.programEntry = inf.Read(setupinf::kProgramEntry);
  record.uninstallEntry = inf.Read(setupinf::kUninstallEntry);
  record.group = inf.Read(setupinf::kGroupName);
  for (const std::string& key : inf.ReadSectionKeys(setupinf::kGroupEntries)) {
    record.groupLinks.emplace_back(key, inf.ReadString(setupinf::kGroupEntries, key, ""));
  }
  record.autostartName = inf.Read(setupinf::kAutostartName);
  record.autostartExe = inf.Read(setupinf::kAutostartExe);
  record.files = ListedFiles(inf.ReadSection(setupinf::kInstalledFiles));
  return record;
}

}  // namespace uninstall
