// The drive that holds an archive: its root, whether it is ready, its volume label.
#pragma once

#include <string>

namespace ziparchive {

// The drive of the fully expanded `fileName` followed by "\": "C:\" or "\\server\share\".
std::string DriveRoot(const std::string& fileName);

struct DriveState {
  std::string label;  // volume label, empty when it could not be read
};

// Checks that the drive `root` exists and is ready. A root that is no network name needs a
// letter A to Z present in the logical drives (else EZipArchive 11003 with the root). With
// critical-error boxes suppressed, the volume information and the free space are read; the
// drive is ready when the volume information was read and it is a network name or its free
// space is known, or when reading failed with ERROR_GEN_FAILURE and `unformattedIsReady`
// (a disk about to be erased). Otherwise EZipArchive 11004 with the root.
DriveState CheckDrive(const std::string& root, bool unformattedIsReady);

// Drive types 3 and 4 (fixed and network): parts are numbered files, no disk prompts.
bool IsFixedOrNetwork(const std::string& root);

}  // namespace ziparchive
