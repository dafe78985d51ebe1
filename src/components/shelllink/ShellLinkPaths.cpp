#include "ShellLinkPaths.h"

namespace shelllink {

const char kShellFoldersKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

const char* ShellFolderValueName(TShellFolderKind kind) {
  switch (kind) {
    case sfDesktop: return "Desktop";
    case sfStartMenu: return "Start Menu";
    case sfProgramsMenu: return "Programs";
    case sfStartup: return "Startup";
    case sfMyDocuments: return "Personal";
  }
  return "Desktop";
}

std::string NormalizeSubfolder(const std::string& value) {
  if (value == "\\") return {};
  if (!value.empty() && value.back() != '\\') return value + '\\';
  return value;
}

std::string LinkFolderPath(const std::string& shellFolderPath, const std::string& subfolder) {
  return shellFolderPath + subfolder;
}

std::string LinkFilePath(const std::string& linkFolder, const std::string& linkName) {
  return linkFolder + '\\' + linkName + ".lnk";
}

std::vector<std::string> FolderPrefixes(const std::string& folderPath) {
  std::vector<std::string> prefixes;
  for (size_t i = 0; i < folderPath.size(); ++i) {
    if (folderPath[i] == '\\') prefixes.push_back(folderPath.substr(0, i + 1));
  }
  return prefixes;
}

// The parameters are cut off after 100 characters; the program path is always what stands
// before the blank, so a long parameter list never leaks into the path.
ExeStringParts SplitExeString(const std::string& exeString) {
  const size_t blank = exeString.find(' ');
  if (blank == std::string::npos) return {exeString, {}};
  return {exeString.substr(0, blank), exeString.substr(blank, kMaxParameters)};
}

}  // namespace shelllink
