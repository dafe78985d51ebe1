#include "session.h"

#include "profile.h"
#include "registry.h"
#include "setup_description.h"

namespace install {

Session& TheSession() {
  static Session session;
  return session;
}

std::string ProposedTargetFolder(const Session& session) {
  const std::string programName =
      platform::ProfileFile(session.SourceDir + setupinf::kFileName).Read(setupinf::kProgramName);
  std::string programFiles;
  platform::Registry registry(HKEY_LOCAL_MACHINE);
  if (registry.OpenKeyReadOnly(setupreg::kCurrentVersionKey))
    programFiles = registry.ReadString(setupreg::kProgramFilesDir);
  return programFiles + "\\" + programName;
}

}  // namespace install
