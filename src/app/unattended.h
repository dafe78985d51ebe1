// The installation without a person (/SILENT, /VERYSILENT): the choices the wizard's pages
// would take come from the command line or their defaults, the licence counts as accepted by
// whoever starts setup so, and the installation run, the finish links and the exit code follow
// as after a clicked-through wizard, without its fixed waits. /VERYSILENT creates no window
// at all; /SILENT shows only the copy-progress window, which cannot be cancelled.
#pragma once

#include "command_line.h"

namespace app {

// Runs the installation; the lock and the log are taken already. Returns the exit code.
int RunUnattended(const SetupOptions& options);

}  // namespace app
