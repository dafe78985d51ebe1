// Undoing a run from its journal (journal.h), finishing a run that committed, and what setup
// and the uninstaller do at their start with the journal of a run that never finished.
#pragma once

#include "install_observer.h"
#include "install_store.h"
#include "journal.h"

namespace install {

// Undoes the journal's changes from the last to the first and reports each to the observer
// (RollbackStarted, then Undone); true when everything was undone. Safe to repeat: a change
// that is undone already, or was never made, is passed over.
bool UndoJournal(const Journal& journal, InstallObserver& observer);

// After a complete undo: the journal and a staged record go, and the levels of the store that
// the run created when nothing is left in them.
void DiscardJournal(const InstallStore& store, const Journal& journal);

// After the commit record: the staged record becomes the installation's record, the kept old
// contents are deleted and the journal goes. False when the record could not be put in place;
// the journal then stays, and the next start finishes the work.
bool FinishCommit(const InstallStore& store, const Journal& journal);

enum class Recovery {
  Nothing,     // no journal
  RolledBack,  // the run that never finished was undone
  Incomplete,  // not all of it could be undone: the journal stays for the next start
  Refused,     // the journal is damaged, foreign or names something outside the
               // installation: nothing was done, and it is kept under another name
  Finished,    // the run had committed: its clean-up was finished
};

// Looks for the journal of a run that never finished in the store and undoes the run (or
// finishes its commit).
Recovery RecoverInterruptedRun(const InstallStore& store, const JournalPlaces& places, InstallObserver& observer);

}  // namespace install
