// The run's journal switched off, for the benchmark of its cost only: setup_without_journal
// links this in place of run_journal.cpp. Nothing is recorded, kept or undone; existing files
// are replaced by the unzip library itself, and the record is put in place at once.
#include "run_journal.h"

namespace install {

RunJournal::RunJournal(const InstallStore& store, const std::string& uninstallEntry, const std::string& programEntry,
                       const std::string& target)
    : store_(store), journal_{uninstallEntry, programEntry, target, {}} {}

void RunJournal::RecordFolders(const std::vector<std::string>&) {}
void RunJournal::RecordMissingLevels(const std::string&) {}
void RunJournal::BeforeFileWrite(const std::string&) {}
void RunJournal::BeforeKeyWrite(const std::string&, const std::vector<const char*>&) {}
void RunJournal::BeforeExtraction(const std::vector<std::string>&) {}
void RunJournal::MemberStarting(const std::string&) {}
bool RunJournal::MemberFailed(const std::string&) { return false; }
void RunJournal::Commit() { store_.PublishRecord(); }
bool RunJournal::Undo(InstallObserver&) { return true; }

}  // namespace install
