// The installation run's side of its journal (journal.h): each change is recorded, and the
// record flushed to the disk, before the run makes it; the old content of a file about to be
// replaced is kept; in the end the run commits, or undoes what it did.
//
// Old contents below the target folder are set aside by one rename into a private folder in
// the target folder (on its volume, so a rename does it; only Administrators and SYSTEM may
// use it), which also spares the unzip library its replacing of existing files: each member
// is written under its own name. Old files elsewhere (the uninstaller in the Windows folder,
// a link) are copied into the installation's store.
#pragma once

#include "guarded_files.h"
#include "handle.h"
#include "install_observer.h"
#include "install_store.h"
#include "journal.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace install {

class RunJournal {
 public:
  // Starts the journal of a run in the store. Raises platform::Error when it cannot be
  // written, or when the journal of an earlier run is still there (its undo was not complete).
  RunJournal(const InstallStore& store, const std::string& uninstallEntry, const std::string& programEntry,
             const std::string& target);

  // Folders that the installation created before this record, outermost first: the levels of
  // its store that opening it made, the levels of the target folder that the folder page made.
  void RecordFolders(const std::vector<std::string>& folders);
  // The levels of a folder that do not exist yet, before they are created.
  void RecordMissingLevels(const std::string& folder);
  // A file about to be written: recorded as new, or its old content is kept.
  void BeforeFileWrite(const std::string& path);
  // A key below HKEY_LOCAL_MACHINE about to be created or written: its missing levels, and
  // each of the values as it is.
  void BeforeKeyWrite(const std::string& key, const std::vector<const char*>& names);
  // Before the extraction: the archive's member names (folders end in a backslash) and which
  // of their files exist.
  void BeforeExtraction(const std::vector<std::string>& members);
  // The unzip library is about to write a member: an existing file of that name is set aside.
  // Raises platform::Error when that cannot be done; the run must then stop.
  void MemberStarting(const std::string& name);
  // A member failed: an old content of it is put back; true when it was.
  bool MemberFailed(const std::string& name);

  // The run finished (its record is staged in the store): the commit record, then the clean-up.
  void Commit();
  // Undoes the run; true when all of it was undone. The journal then goes; otherwise it stays
  // for the next start of setup or the uninstaller.
  bool Undo(InstallObserver& observer);

 private:
  struct Member {
    std::string name;
    std::string keptAs;  // its file's place in the aside folder; "" when it had no old file
    bool setAside = false;
  };

  void Append(const std::vector<JournalEntry>& entries);
  // The aside folder, made (and recorded) at its first use.
  const std::string& AsideFolder();
  // Where the next old content goes, relative to the aside folder (which this makes).
  std::string KeptName();
  // The record of a member and of the folders on its way that did not exist; adds it to the
  // members.
  void AddMember(const std::string& name, bool existed, const std::function<bool(const std::string&)>& exists,
                 std::vector<JournalEntry>& entries);

  InstallStore store_;
  Journal journal_;
  platform::UniqueFile file_;
  platform::UniqueFile asideHeld_;  // the aside folder, held in place while the run uses it
  CheckedFolders folders_;          // the folders of files set aside, held in place
  std::string aside_;
  std::vector<Member> members_;
  std::unordered_map<std::string, size_t> memberIndex_;  // by the name in upper case
  std::unordered_set<std::string> folderSeen_;           // member folders looked at, in upper case
  int kept_ = 0;                                         // old contents set aside so far
  int storeCopies_ = 0;                                  // old files copied into the store
};

}  // namespace install
