#include "rollback.h"

#include "files.h"
#include "guarded_files.h"
#include "install_paths.h"
#include "owned_folder.h"
#include "registry.h"

#include <windows.h>

namespace install {

namespace {

using Kind = JournalEntry::Kind;

// Journals of the largest archives stay far below this.
constexpr size_t kJournalLimit = 64u << 20;

// Nothing of the installation is left at the place: removed, never there, or something that
// is not the installation's (a link, which no step of the run writes through).
bool Gone(RemoveOutcome outcome) {
  return outcome == RemoveOutcome::Removed || outcome == RemoveOutcome::Missing || outcome == RemoveOutcome::Link;
}

// The uninstaller that undoes a run may be the very copy that run made or replaced. A running
// program can be neither deleted nor replaced, but renamed: it moves to a name of its own beside
// its place, and goes at the next restart.
void MoveAwayIfRunning(const std::string& path) {
  if (!SameFolded(platform::ExpandFileName(path), platform::ModuleFileName())) return;
  const std::string away = path + "." + std::to_string(::GetCurrentProcessId()) + ".old";
  if (::MoveFileExA(path.c_str(), away.c_str(), 0)) ::MoveFileExA(away.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

bool RemoveFile(const std::string& path, CheckedFolders& folders) {
  MoveAwayIfRunning(path);
  return Gone(RemoveChecked(path, folders));
}

bool PutBackFile(const std::string& copy, const std::string& path, CheckedFolders& folders) {
  if (platform::FileExists(copy)) MoveAwayIfRunning(path);
  return PutBack(copy, path, folders);
}

// A folder that still holds something of others stays; that is no failure.
bool FolderDone(RemoveOutcome outcome) { return Gone(outcome) || outcome == RemoveOutcome::NotEmpty; }

bool DeleteValue(const JournalEntry& e) {
  platform::Registry key(HKEY_LOCAL_MACHINE);
  return !key.OpenExistingKey(e.path) || key.DeleteValue(e.other);
}

bool WriteValueBack(const JournalEntry& e) {
  platform::Registry key(HKEY_LOCAL_MACHINE);
  if (!key.OpenKey(e.path)) return false;
  try {
    key.WriteRaw(e.other, e.type, e.data);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// A key that holds something of others stays.
bool RemoveKeyIfEmpty(const std::string& path) {
  platform::Registry key(HKEY_LOCAL_MACHINE);
  if (!key.OpenKeyReadOnly(path)) return true;
  const bool empty = key.IsEmpty();
  key.Close();
  return !empty || platform::Registry::DeleteKey(HKEY_LOCAL_MACHINE, path);
}

std::string MachineKeyName(const JournalEntry& e) {
  return "HKEY_LOCAL_MACHINE\\" + e.path + (e.kind == Kind::Key ? "" : "\\" + e.other);
}

// Deletes the files in a folder (not links, which the run never puts there).
void DeleteFilesIn(const std::string& folder) {
  WIN32_FIND_DATAA found;
  if (const platform::UniqueFind find{::FindFirstFileA((folder + "\\*").c_str(), &found)}) {
    do {
      if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        ::DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (::FindNextFileA(find.get(), &found));
  }
}

// Removes the aside folder with the folders of old contents in it; with `contents` (after a
// commit) the old contents go first, else (after an undo) only what is empty goes. Only
// Administrators and SYSTEM can put anything there, and the folder is checked to be the run's
// own.
bool RemoveAsideFolder(const std::string& aside, bool contents, CheckedFolders& folders) {
  const std::string folder = aside.substr(0, aside.size() - 1);
  const CheckedFolders::State state = folders.Check(folder);
  if (state != CheckedFolders::State::Itself) return state == CheckedFolders::State::Missing;
  if (contents && !platform::IsOwnedByUs(folder)) return false;
  for (const std::string& name : platform::ListFolders(folder)) {
    if (contents) DeleteFilesIn(aside + name);
    RemoveChecked(aside + name, folders);
  }
  folders.Release(folder);
  return Gone(RemoveChecked(folder, folders));
}

class Undo {
 public:
  explicit Undo(const Journal& journal) : journal_(journal) {
    for (const JournalEntry& e : journal.entries)
      if (e.kind == Kind::Aside) aside_ = e.path;
  }

  // What the entry names, and whether it was undone.
  std::pair<std::string, bool> Step(const JournalEntry& e) {
    const std::string target = journal_.target;
    switch (e.kind) {
      case Kind::Folder: return {e.path, FolderDone(RemoveChecked(e.path, folders_))};
      case Kind::File: return {e.path, RemoveFile(e.path, folders_)};
      case Kind::Saved: return {e.path, PutBackFile(e.other, e.path, folders_)};
      case Kind::Key: return {MachineKeyName(e), RemoveKeyIfEmpty(e.path)};
      case Kind::Value: return {MachineKeyName(e), WriteValueBack(e)};
      case Kind::NoValue: return {MachineKeyName(e), DeleteValue(e)};
      case Kind::Aside: return {e.path, RemoveAsideFolder(e.path, false, folders_)};
      case Kind::Member:
        return {target + e.path, e.other.empty() ? Gone(RemoveChecked(target + e.path, folders_))
                                                 : PutBack(aside_ + e.other, target + e.path, folders_)};
      case Kind::MemberFolder: return {target + e.path, FolderDone(RemoveChecked(target + e.path, folders_))};
      case Kind::Commit: break;
    }
    return {std::string(), true};
  }

 private:
  const Journal& journal_;
  std::string aside_;
  CheckedFolders folders_;
};

}  // namespace

bool UndoJournal(const Journal& journal, InstallObserver& observer) {
  observer.RollbackStarted();
  Undo undo(journal);
  bool complete = true;
  for (auto e = journal.entries.rbegin(); e != journal.entries.rend(); ++e) {
    if (e->kind == Kind::Commit) continue;
    const auto [what, done] = undo.Step(*e);
    observer.Undone(what, done);
    complete = complete && done;
  }
  return complete;
}

void DiscardJournal(const InstallStore& store, const Journal& journal) {
  store.DropStagedRecord();
  ::DeleteFileA(store.JournalPath().c_str());
  CheckedFolders folders;
  for (auto e = journal.entries.rbegin(); e != journal.entries.rend(); ++e)
    if (e->kind == Kind::Folder && IsStoreLevel(e->path, store.Folder())) RemoveChecked(e->path, folders);
}

bool FinishCommit(const InstallStore& store, const Journal& journal) {
  if (!store.PublishRecord()) return false;
  CheckedFolders folders;
  for (const JournalEntry& e : journal.entries) {
    if (e.kind == Kind::Aside) RemoveAsideFolder(e.path, true, folders);
    if (e.kind == Kind::Saved && IsBelow(e.other, store.Folder())) ::DeleteFileA(e.other.c_str());
  }
  ::DeleteFileA(store.JournalPath().c_str());
  return true;
}

Recovery RecoverInterruptedRun(const InstallStore& store, const JournalPlaces& places, InstallObserver& observer) {
  if (!platform::FileExists(store.JournalPath())) return Recovery::Nothing;
  std::string text;
  const std::optional<Journal> journal =
      platform::ReadWholeFile(store.JournalPath(), text, kJournalLimit) ? ParseJournal(text) : std::nullopt;
  if (!journal || !StaysInPlaces(*journal, places)) {
    ::MoveFileExA(store.JournalPath().c_str(), store.RefusedJournalPath().c_str(), MOVEFILE_REPLACE_EXISTING);
    return Recovery::Refused;
  }
  if (journal->Committed()) return FinishCommit(store, *journal) ? Recovery::Finished : Recovery::Incomplete;
  if (!UndoJournal(*journal, observer)) return Recovery::Incomplete;
  DiscardJournal(store, *journal);
  return Recovery::RolledBack;
}

}  // namespace install
