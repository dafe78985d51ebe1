// TShellLinkWriter: a non-visual component that writes one shell link (".lnk") into a
// per-user shell folder, optionally below a subfolder that it creates on demand. The wizard
// reuses one instance for every link: set the properties that differ, then CreateLink.
#pragma once

#include "ShellLinkPaths.h"
#include "component.h"

#include <string>

namespace shelllink {

// Where a link goes: a shell folder and a path below it.
class TCreateIn {
 public:
  bool CreatePath = true;  // create the missing folder levels before the link is saved
  TShellFolderKind ShellFolder = sfDesktop;

  const std::string& Subfolder() const { return subfolder_; }
  // Stores the value normalised (NormalizeSubfolder): "\" becomes "", "\Group" "\Group\".
  void SetSubfolder(const std::string& value);

 private:
  std::string subfolder_;
};

// The path of a shell folder as stored for the current user (not expanded). Any registry
// failure gives the empty path: a link then goes below the root of the current drive.
std::string ShellFolderPath(TShellFolderKind kind);

class TShellLinkWriter : public forms::Component {
 public:
  // `owner` may be nullptr (a writer used on its own, as the tests do).
  explicit TShellLinkWriter(forms::Form* owner, std::string name = "ShellLinkWriter1");

  TCreateIn CreateIn;
  std::string LinkName = "My New ShellLink";  // file name without ".lnk"
  std::string LinkTarget;                     // the file that the link starts
  std::string ParamString;                    // its command-line arguments
  std::string WorkingDirectory;
  TRunAs RunAs = raNormal;  // raMinimized / raMaximized set the link's show command

  // Writes the link LinkFolder\LinkName.lnk, LinkFolder being the current user's shell
  // folder (HKCU "Shell Folders" value of CreateIn.ShellFolder) followed by
  // CreateIn.Subfolder(); with DeleteLink the saved file is deleted again (folders stay).
  // LinkFolder is assigned before anything is written. Raises platform::Error when the
  // shell's link object or its interfaces cannot be obtained; registry, folder, setter,
  // save and delete failures are silent.
  void CreateLink(bool DeleteLink, std::string& LinkFolder);
  void CreateLink(bool DeleteLink);
  // The folder CreateLink writes into, as it is now.
  std::string LinkFolder() const;
};

}  // namespace shelllink
