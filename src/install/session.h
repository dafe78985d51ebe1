// What one setup process knows about its installation beyond the setup description: where
// the medium is, where the installation goes and which language it speaks. The wizard fills
// it page by page; the installation run and the finish read it.
#pragma once

#include "install_result.h"

#include <optional>
#include <string>
#include <vector>

namespace install {

struct Session {
  // Folder of Setup.inf, Setup.zip and Licence.txt, ending in a backslash: the setup
  // program's folder unless the locate prompt moved it to where the user found the archive.
  std::string SourceDir;
  // Folder of the running setup program, ending in a backslash: its language files.
  std::string ExeDir;
  // The target folder as the folder page accepted it; the run makes it end in a backslash.
  std::string TargetFolder;
  // The folders that choosing the target created (the target and the missing levels above
  // it), outermost first: they belong to the installation.
  std::vector<std::string> CreatedFolders;
  // File name of the language in force, such as "german.lng".
  std::string LanguageFile;
  // Setup.inf fixes the language ([Defaults] fixed=1).
  bool FixedLanguage = false;
  // How the installation run ended, once one has written something; it decides the exit code.
  std::optional<InstallResult> RunResult;
};

// The one session of this process.
Session& TheSession();

// The target folder that the folder page proposes: the Program Files folder from the
// registry, a backslash and Program/Programname of the Setup.inf in SourceDir.
std::string ProposedTargetFolder(const Session& session);

}  // namespace install
