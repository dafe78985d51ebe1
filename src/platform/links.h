// Junctions and symbolic links on the way to what the elevated setup writes: a user who can
// make one can send an administrator's writes and deletions anywhere. These helpers find them
// and open files and folders as themselves, never as what a link points to.
//
// Windows opens a link itself when asked to (FILE_FLAG_OPEN_REPARSE_POINT); Wine opens what a
// host symbolic link points to, which then shows in the final path of the handle. Both are
// checked.
#pragma once

#include "handle.h"

#include <string>

namespace platform {

// The first level of `path` (a folder or one above it, up to the drive or share root) that
// is a junction or symbolic link; "" when none is. A volume mount point is not such a link.
// Levels that do not exist are not examined.
std::string LinkedFolderOnPath(const std::string& path);

// Opens an existing file or folder without following a link at its last level.
UniqueFile OpenWithoutFollowing(const std::string& path, DWORD access, DWORD share);

// The path the system gives an open file or folder ("\\?\" removed); "" on failure.
std::string FinalPathOf(HANDLE object);

// Whether an open file or folder is what `path` names: not a link itself, and its final path
// is `path` after resolving "." and "..", compared as the file system compares names.
bool HandleIsAt(HANDLE object, const std::string& path);

}  // namespace platform
