// Folders that only Administrators and SYSTEM may use, for what the elevated setup writes and
// later reads back (a joined archive, its own records). A user can change anything in the
// folders of their profile; a folder made here has a name no one can guess, a protected access
// list of Administrators and SYSTEM that its contents inherit, and the owner Administrators.
// (Wine keeps no access lists: it turns them into the host's permission bits.)
//
// Links: the parent and the new folder are refused when they are links (junctions, symbolic
// links, mount points), and removing a tree never follows one. Windows opens a link itself
// when asked to; Wine opens what a host symbolic link points to, which shows in the final path
// of the handle. Either way a link is never the way to anything else.
#pragma once

#include <string>

#include "handle.h"

namespace platform {

// Creates a new folder below `parent` named `prefix` and 32 hexadecimal digits of 128 random
// bits, with that access list from the start. Raises Error when the parent is missing, is no
// folder or is a link, or when the name exists already. Returns the folder's path (`parent` as
// given) with a trailing backslash.
std::string CreatePrivateFolder(const std::string& parent, const std::string& prefix);

// Whether `path` is a folder, not a link, whose security descriptor, read back, is private.
bool FolderIsPrivate(const std::string& path);
// Whether the owner is Administrators or SYSTEM and the access list is protected (inherits
// nothing) and allows Administrators and SYSTEM and no one else.
bool IsPrivateDescriptor(PSECURITY_DESCRIPTOR descriptor);

// Deletes a folder and everything in it, never through a link: a link found on the way is
// deleted itself where the system can do that (a junction on Windows), else left alone, and
// so is the folder that holds it. Whatever cannot be deleted stays; nothing is raised. The
// last part of `path` must be the folder's long name.
void RemoveFolderTree(const std::string& path);

// A private folder (CreatePrivateFolder) held open from its creation to its removal: while
// the object lives, no one can rename, replace or delete the folder, so its path keeps naming
// it. The destructor removes it with everything in it, as RemoveFolderTree does.
class PrivateFolder {
 public:
  PrivateFolder(const std::string& parent, const std::string& prefix);
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  ~PrivateFolder();

  // With a trailing backslash.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::wstring finalPath_;
  UniqueFile folder_;
};

}  // namespace platform
