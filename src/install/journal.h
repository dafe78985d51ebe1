// The journal of an installation run: every change the run makes, recorded and on disk before
// the change is made, so that a run that is stopped, fails, or is cut short by a crash or a
// power loss can be undone, and a run that finished can be cleaned up. It lives in the
// installation's own store (install_store.h), where only Administrators and SYSTEM can change
// it: undoing a run deletes and restores files as an administrator, so nothing a user can
// write may tell it what to do.
//
// Format, version 1: text in the ANSI code page, one record a line ending in CR LF, fields
// separated by TAB. Each record but the header ends with a field holding the CRC-32 of the
// line before that field's TAB, as eight lower-case hexadecimal digits.
//
//   Talvenor setup journal 1                       the header
//   run <uninstall entry> <program entry> <target folder>       whose run this is; second line
//   folder <path>          a folder of the installation (a level of the target folder, of the
//                          program group): removed when it is empty
//   file <path>            a file about to be created where there was none: removed
//   saved <path> <copy>    a file about to be replaced; its old content is kept in <copy> (in
//                          the aside folder or the store): put back
//   key <key>              a key below HKEY_LOCAL_MACHINE about to be created: removed when
//                          it is empty
//   value <key> <name> <type> <data>   a value about to be overwritten, with its registry type
//                          (decimal) and its bytes (hexadecimal): written back
//   novalue <key> <name>   a value about to be written where there was none: deleted
//   aside <folder>         the private folder, directly in the target folder, that takes the
//                          old contents of replaced files; its name begins with kAsidePrefix:
//                          removed when it is empty
//   member <name> new      an archive member whose file did not exist: removed
//   member <name> old <file>   an archive member whose file existed: the old file is moved to
//                          <file> (a path relative to the aside folder) just before the member
//                          is written, and moved back
//   memberfolder <name>    a folder the extraction creates: removed when it is empty
//   commit                 the run finished; only the clean-up is left
//
// Member names are relative to the target folder. Undoing goes through the records from the
// last to the first; each step is safe to repeat, so an undo cut short continues at the next
// start. A record after the last line break was cut short while it was written: its change
// was never made, and it is ignored. Any other record that does not check out makes the whole
// journal unusable, and so does a path outside the installation's places (StaysInPlaces).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace install {

struct JournalEntry {
  enum class Kind { Folder, File, Saved, Key, Value, NoValue, Aside, Member, MemberFolder, Commit };
  JournalEntry(Kind kind = Kind::Commit, std::string path = {}, std::string other = {}, uint32_t type = 0,
               std::string data = {})
      : kind(kind), path(std::move(path)), other(std::move(other)), type(type), data(std::move(data)) {}

  Kind kind;
  std::string path;   // the folder, file, key, aside folder or member name
  std::string other;  // saved: the copy; value, novalue: the value name; member: the place
                      // of its old file in the aside folder, "" for a new member
  uint32_t type;      // value: the registry type
  std::string data;   // value: the bytes
};

struct Journal {
  std::string uninstallEntry;
  std::string programEntry;
  std::string target;  // ends in a backslash
  std::vector<JournalEntry> entries;

  bool Committed() const { return !entries.empty() && entries.back().kind == JournalEntry::Kind::Commit; }
};

// How the name of the aside folder begins; random characters follow.
extern const char kAsidePrefix[];

// The header and the run record: the beginning of a new journal.
std::string JournalStart(const Journal& journal);
// One record with its line break. Raises std::invalid_argument when a field holds a TAB or a
// line break, which no record could be read back with.
std::string JournalRecord(const JournalEntry& entry);
// Nothing when the text is not a journal of this version or a record does not check out.
std::optional<Journal> ParseJournal(const std::string& text);

// The places of an installation beside its target folder.
struct JournalPlaces {
  std::string uninstallEntry;            // Uninstall/UnInstallEntry
  std::string programEntry;              // Program/ProgramEntry
  std::string store;                     // the installation's store, ending in a backslash
  std::string windowsFolder;             // ending in a backslash: the uninstaller's copy
  std::vector<std::string> linkFolders;  // the Programs menu and the Startup folder, each
                                         // ending in a backslash
};

// Whether the journal is one of this installation and names nothing outside it: files and
// member names below the target folder (or the uninstaller directly in the Windows folder,
// links below a link folder); folders that are the target, a level above it, below a link
// folder, or the store or the folder of all stores; kept copies in the aside folder or the
// store; keys that are the program entry or the uninstall entry (or created levels of them),
// values only in those two.
bool StaysInPlaces(const Journal& journal, const JournalPlaces& places);

// Whether a folder (without a trailing backslash) is the store (which ends in a backslash)
// or the folder of all stores above it.
bool IsStoreLevel(const std::string& folder, const std::string& store);

// The uninstall entry's key below HKEY_LOCAL_MACHINE, without a leading backslash, as the
// journal names it.
std::string UninstallKey(const std::string& uninstallEntry);

}  // namespace install
