// Folders with a fixed name that only Administrators and SYSTEM may change, such as the
// installation's own store below the common application data. Users may create folders
// there too, so a folder found under the name is trusted only when it is a real folder (not a
// link) owned by Administrators, SYSTEM or this process's own account; its access list is then
// set to the private one again.
#pragma once

#include "handle.h"

#include <string>

namespace platform {

// The security descriptor of a private folder: owner Administrators, a protected access list
// that allows Administrators and SYSTEM and that the folder's contents inherit.
extern const char kPrivateFolderDescriptor[];
// That descriptor, made for a call that takes one.
UniqueLocal PrivateFolderDescriptor();

// Creates `path` (its parent must exist) as a private folder, or takes over the folder found
// under that name as described above. Raises Error naming the folder when it is a link, not
// a folder, owned by someone else, or cannot be made.
void EnsureOwnedFolder(const std::string& path);

// Whether the folder (or file) at `path` is owned by Administrators, SYSTEM or this process's
// own account, and is not a link. False when it does not exist.
bool IsOwnedByUs(const std::string& path);

}  // namespace platform
