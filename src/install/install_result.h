// How an installation run ended; the wizard and the command line both act on it.
#pragma once

namespace install {

enum class InstallResult {
  Complete,                // every member written
  Incomplete,              // some members failed; what was written is recorded
  FailedBeforeWriting,     // nothing written: unusable target, archive missing or unreadable
  CancelledBeforeWriting,  // the user stopped before anything was written
  Stopped,                 // stopped during the run, by the user or an error
};

}  // namespace install
