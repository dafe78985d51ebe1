// The string work behind shell links, free of Win32: which shell-folder value names a folder
// kind, how a subfolder is stored, how link folder and link file paths are joined, which
// folder levels are created, and how the autostart command line is split.
#pragma once

#include <string>
#include <vector>

namespace shelllink {

// The per-user shell folders a link can go to.
enum TShellFolderKind { sfDesktop, sfStartMenu, sfProgramsMenu, sfStartup, sfMyDocuments };

// How the linked program's window opens.
enum TRunAs { raNormal, raMinimized, raMaximized };

// Key below HKEY_CURRENT_USER whose values hold the shell folders' paths.
extern const char kShellFoldersKey[];

// Name of the registry value that holds the path of a shell folder ("Programs" ...).
const char* ShellFolderValueName(TShellFolderKind kind);

// The stored form of a subfolder: a lone backslash means no subfolder (""), any other
// non-empty value ends in a backslash. A leading backslash is neither added nor removed.
std::string NormalizeSubfolder(const std::string& value);

// Folder that receives a link: the shell folder's path immediately followed by the stored
// subfolder; no separator is inserted.
std::string LinkFolderPath(const std::string& shellFolderPath, const std::string& subfolder);

// The link file: folder, backslash, link name, ".lnk".
std::string LinkFilePath(const std::string& linkFolder, const std::string& linkName);

// Every prefix of a folder path that ends in a backslash, shortest first: the folders to
// create, level by level, before a link is saved there. The last component is included only
// when the path ends in a backslash.
std::vector<std::string> FolderPrefixes(const std::string& folderPath);

// The autostart command line split at its first blank.
struct ExeStringParts {
  std::string program;     // the characters before the first blank (the whole value without one)
  std::string parameters;  // from the first blank on, the blank included, at most 100 characters
};
constexpr size_t kMaxParameters = 100;
ExeStringParts SplitExeString(const std::string& exeString);

}  // namespace shelllink
