// How the installation's records compare the paths they name: as the file system compares
// names (ASCII letters without regard to case; other bytes as they are, which errs on the side
// of "different"), and with "." and ".." parts refused rather than resolved.
#pragma once

#include <string>

namespace install {

// The path with its ASCII letters in upper case: equal for paths the file system takes as one.
std::string Folded(std::string path);
// Whether `path` is longer than `prefix` and begins with it.
bool FoldedPrefix(const std::string& path, const std::string& prefix);
bool SameFolded(const std::string& a, const std::string& b);
// Whether a path has a "." or ".." part.
bool HasDotParts(const std::string& path);
// Strictly below `folder` (which ends in a backslash), without "." or ".." parts.
bool IsBelow(const std::string& path, const std::string& folder);
// Whether a folder (without a trailing backslash) is `target` or a level above it.
bool IsOnTheWayTo(const std::string& folder, const std::string& target);
// An absolute folder on a drive, not its root: "X:\...\", without "." or ".." parts.
bool IsDriveFolder(const std::string& folder);

}  // namespace install
