// Which file an open handle holds. A name can be given to another file at any moment; the
// volume and the file index of what was opened cannot, so a file written, closed and opened
// again is known to be the same one.
#pragma once

#include <cstdint>
#include <string>

#include "handle.h"

namespace platform {

struct FileIdentity {
  bool known = false;
  DWORD volume = 0;
  uint64_t index = 0;
};

// The identity of an open file; not known when the system cannot tell it.
FileIdentity IdentityOf(HANDLE file);

bool SameFile(const FileIdentity& a, const FileIdentity& b);

// Opens `path` for reading, without following a link at its last level and letting others
// only read it meanwhile, when it is the file `expected`; no handle otherwise.
UniqueFile OpenSameFile(const std::string& path, const FileIdentity& expected);

}  // namespace platform
