// How an installation run ended; the wizard and the command line both act on it, and it
// decides setup's exit code.
#pragma once

namespace install {

enum class InstallResult {
  Complete,                // every member written
  Incomplete,              // some members failed; what was written is recorded
  FailedBeforeWriting,     // nothing written: unusable target, archive missing or unreadable
  CancelledBeforeWriting,  // the user stopped before anything was written
  StoppedByUser,           // the user ended the run while it wrote; what it wrote is undone
  StoppedByError,          // an error ended the run while it wrote; what it wrote is undone
  RollbackIncomplete,      // the run was stopped and not everything it wrote could be undone
};

// Setup's exit codes; the README documents them.
enum ExitCode {
  kExitSuccess = 0,
  kExitBadCommandLine = 1,
  kExitCancelledBeforeWriting = 2,
  kExitFailedBeforeWriting = 3,
  kExitIncomplete = 4,
  kExitCancelledAndRolledBack = 5,
  kExitAnotherRunning = 6,
  kExitFailedAndRolledBack = 7,
  kExitRollbackIncomplete = 8,
};

inline int ExitCodeOf(InstallResult result) {
  switch (result) {
    case InstallResult::Complete: return kExitSuccess;
    case InstallResult::Incomplete: return kExitIncomplete;
    case InstallResult::FailedBeforeWriting: return kExitFailedBeforeWriting;
    case InstallResult::CancelledBeforeWriting: return kExitCancelledBeforeWriting;
    case InstallResult::StoppedByUser: return kExitCancelledAndRolledBack;
    case InstallResult::StoppedByError: return kExitFailedAndRolledBack;
    case InstallResult::RollbackIncomplete: return kExitRollbackIncomplete;
  }
  return kExitRollbackIncomplete;
}

}  // namespace install
