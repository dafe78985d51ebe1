// File operations of setting old contents aside and of undoing a run, safe against links. The
// target folder, the program group and the Startup folder may be writable by users, and these
// operations run as an administrator: a junction or symbolic link put in on the way would send
// a deletion or a move anywhere.
//
// So each folder is checked once: opened as itself (not what a link at its place points to),
// its final path compared with its path (Windows opens a link itself when asked to, Wine opens
// what a host's symbolic link points to; either shows there), and then held open without
// sharing deletion, which keeps it and the folders above it in place on Windows. A file in a
// checked folder is then moved or deleted by its name: that moves or deletes a link itself,
// never what it points to, and a file that shows as a link is left alone anyway. A handle-based
// check of every file would cost more than the installation itself under Wine.
#pragma once

#include "handle.h"

#include <string>
#include <unordered_map>

namespace install {

enum class RemoveOutcome {
  Removed,
  Missing,   // nothing there
  NotEmpty,  // a folder that still holds something
  Link,      // a link, or reached through one: not this installation's to remove
  Failed,
};

class CheckedFolders {
 public:
  enum class State { Itself, Missing, Link };

  // The state of a folder (with or without a trailing backslash), checked at the first ask and
  // held in place from then on.
  State Check(const std::string& folder);
  // Lets go of a folder, so that it can be removed.
  void Release(const std::string& folder);
  void ReleaseAll() { held_.clear(); }

 private:
  struct Held {
    State state;
    platform::UniqueFile handle;
  };
  std::unordered_map<std::string, Held> held_;  // by the folded path
};

// Removes a file (a read-only one too) or an empty folder.
RemoveOutcome RemoveChecked(const std::string& path, CheckedFolders& folders);

// Moves a file (not a link) to `to`, in a folder that is the caller's own and held; false when
// it is missing, a link, reached through one, or cannot be moved. Nothing is replaced.
bool MoveChecked(const std::string& from, const std::string& to, CheckedFolders& folders);

// Puts a kept copy back in the place of `path`, replacing what is there now; true when done,
// or when there is no copy (it was put back before, or never taken). A link at `path` or on
// the way to it is not replaced.
bool PutBack(const std::string& copy, const std::string& path, CheckedFolders& folders);

// Opens a folder as itself for holding; an empty handle when it is missing, a link, or
// reached through one.
platform::UniqueFile OpenFolderChecked(const std::string& path);

}  // namespace install
