#include "run_journal.h"

#include "error.h"
#include "files.h"
#include "guarded_files.h"
#include "install_paths.h"
#include "owned_folder.h"
#include "registry.h"
#include "rollback.h"

#include <windows.h>
#include <ntsecapi.h>

#include <cstdio>
#include <unordered_set>

namespace install {

namespace {

using Kind = JournalEntry::Kind;

// Old contents kept in one folder of the aside folder: under Wine each name added to a folder
// costs a look at all names in it, so a folder of thousands would make an update slow.
constexpr int kKeptPerFolder = 128;

platform::Error CannotWrite(const std::string& path) {
  return platform::Error(platform::FormatText("nach %s kann nicht geschrieben werden", path));
}

platform::Error CannotSetAside(const std::string& path) {
  return platform::Error(platform::FormatText("Die bisherige Datei %s kann nicht aufbewahrt werden.", path));
}

bool WriteAndFlush(HANDLE file, const std::string& text) {
  DWORD written = 0;
  return ::WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size() &&
         ::FlushFileBuffers(file);
}

// Sixteen hexadecimal digits no one can guess.
std::string RandomHex() {
  unsigned char bytes[8] = {};
  if (!::RtlGenRandom(bytes, sizeof bytes))
    throw platform::Error("Der Zufallszahlengenerator des Systems antwortet nicht.");
  std::string hex;
  for (const unsigned char b : bytes) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", b);
    hex += pair;
  }
  return hex;
}

// The files and folders below a folder (not below links), by their paths relative to it, in
// upper case.
void ListBelow(const std::string& folder, const std::string& relative, std::unordered_set<std::string>& names) {
  WIN32_FIND_DATAA found;
  const platform::UniqueFind find(::FindFirstFileExA((folder + relative + "*").c_str(), FindExInfoBasic, &found,
                                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    names.insert(platform::UpperCase(relative + name));
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      ListBelow(folder, relative + name + "\\", names);
  } while (::FindNextFileA(find.get(), &found));
}

std::string WithoutLeadingBackslash(const std::string& key) {
  return key.empty() || key[0] != '\\' ? key : key.substr(1);
}

bool KeyExists(const std::string& key) { return platform::Registry(HKEY_LOCAL_MACHINE).OpenKeyReadOnly(key); }

}  // namespace

RunJournal::RunJournal(const InstallStore& store, const std::string& uninstallEntry, const std::string& programEntry,
                       const std::string& target)
    : store_(store), journal_{uninstallEntry, programEntry, target, {}} {
  const std::string start = JournalStart(journal_);
  const std::string path = store.JournalPath();
  file_.reset(
      ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_ && ::GetLastError() == ERROR_FILE_EXISTS)
    throw platform::Error(platform::FormatText(
        "Eine frühere Installation wurde nicht vollständig rückgängig gemacht; ihr Protokoll liegt in %s.", path));
  if (!file_ || !WriteAndFlush(file_.get(), start)) {
    file_.reset();
    ::DeleteFileA(path.c_str());
    throw CannotWrite(path);
  }
}

void RunJournal::Append(const std::vector<JournalEntry>& entries) {
  std::string text;
  for (const JournalEntry& entry : entries) text += JournalRecord(entry);
  if (!WriteAndFlush(file_.get(), text)) throw CannotWrite(store_.JournalPath());
  journal_.entries.insert(journal_.entries.end(), entries.begin(), entries.end());
}

void RunJournal::RecordFolders(const std::vector<std::string>& folders) {
  std::vector<JournalEntry> entries;
  for (const std::string& folder : folders) entries.push_back({Kind::Folder, folder});
  Append(entries);
}

void RunJournal::RecordMissingLevels(const std::string& folder) {
  std::vector<JournalEntry> entries;
  for (const std::string& level : platform::MissingFolderLevels(folder)) entries.push_back({Kind::Folder, level});
  Append(entries);
}

const std::string& RunJournal::AsideFolder() {
  if (!aside_.empty()) return aside_;
  const std::string folder = journal_.target + kAsidePrefix + RandomHex();
  Append({{Kind::Aside, folder + "\\"}});
  platform::EnsureOwnedFolder(folder);
  asideHeld_ = OpenFolderChecked(folder);
  if (!asideHeld_) throw CannotWrite(folder);
  aside_ = folder + "\\";
  return aside_;
}

std::string RunJournal::KeptName() {
  const std::string& aside = AsideFolder();
  const int number = kept_++;
  const std::string folder = std::to_string(number / kKeptPerFolder);
  if (number % kKeptPerFolder == 0 && !::CreateDirectoryA((aside + folder).c_str(), nullptr) &&
      ::GetLastError() != ERROR_ALREADY_EXISTS)
    throw CannotWrite(aside + folder);
  return folder + "\\" + std::to_string(number);
}

void RunJournal::BeforeFileWrite(const std::string& path) {
  if (!platform::FileExists(path)) return Append({{Kind::File, path}});
  if (IsBelow(path, journal_.target)) {
    const std::string kept = KeptName();
    Append({{Kind::Saved, path, aside_ + kept}});
    if (!MoveChecked(path, aside_ + kept, folders_)) throw CannotSetAside(path);
    return;
  }
  const std::string copy = store_.Folder() + "kept-" + std::to_string(++storeCopies_);
  Append({{Kind::Saved, path, copy}});
  if (!::CopyFileA(path.c_str(), copy.c_str(), FALSE)) throw CannotSetAside(path);
}

void RunJournal::BeforeKeyWrite(const std::string& key, const std::vector<const char*>& names) {
  const std::string relative = WithoutLeadingBackslash(key);
  std::vector<JournalEntry> entries;
  for (size_t slash = 0; slash != std::string::npos;) {
    slash = relative.find('\\', slash + 1);
    const std::string level = relative.substr(0, slash);
    if (!KeyExists(level)) entries.push_back({Kind::Key, level});
  }
  platform::Registry reader(HKEY_LOCAL_MACHINE);
  const bool open = reader.OpenKeyReadOnly(relative);
  for (const char* name : names) {
    JournalEntry value{Kind::Value, relative, name};
    if (!open || !reader.ReadRaw(name, value.type, value.data)) value.kind = Kind::NoValue;
    entries.push_back(value);
  }
  Append(entries);
}

void RunJournal::AddMember(const std::string& name, bool existed, const std::function<bool(const std::string&)>& exists,
                           std::vector<JournalEntry>& entries) {
  const std::string key = platform::UpperCase(name);
  if (memberIndex_.count(key)) return;
  for (size_t slash = name.find('\\'); slash != std::string::npos; slash = name.find('\\', slash + 1)) {
    const std::string folder = name.substr(0, slash);
    if (folderSeen_.insert(platform::UpperCase(folder)).second && !exists(folder))
      entries.push_back({Kind::MemberFolder, folder});
  }
  if (name.empty() || name.back() == '\\') return;
  // The aside folder is recorded before the members that are kept in it.
  Member member{name, existed ? KeptName() : ""};
  memberIndex_.emplace(key, members_.size());
  members_.push_back(member);
  entries.push_back({Kind::Member, name, member.keptAs});
}

void RunJournal::BeforeExtraction(const std::vector<std::string>& members) {
  std::unordered_set<std::string> existing;
  ListBelow(journal_.target, "", existing);
  const auto exists = [&](const std::string& name) { return existing.count(platform::UpperCase(name)) != 0; };
  std::vector<JournalEntry> entries;
  for (const std::string& name : members) AddMember(name, exists(name), exists, entries);
  Append(entries);
}

void RunJournal::MemberStarting(const std::string& name) {
  const std::string path = journal_.target + name;
  auto found = memberIndex_.find(platform::UpperCase(name));
  if (found == memberIndex_.end()) {
    // A name the archive's directory did not give as the library does: recorded now.
    std::vector<JournalEntry> entries;
    AddMember(
        name, platform::FileExists(path),
        [&](const std::string& folder) { return platform::DirectoryExists(journal_.target + folder); }, entries);
    Append(entries);
    found = memberIndex_.find(platform::UpperCase(name));
    if (found == memberIndex_.end()) return;
  }
  Member& member = members_[found->second];
  if (member.keptAs.empty() || member.setAside) return;
  member.setAside = true;  // a later member of the same name replaces this run's file
  // Gone since the extraction began: the member is a new file after all.
  if (!platform::FileExists(path)) return Append({{Kind::Member, name, ""}});
  if (!MoveChecked(path, aside_ + member.keptAs, folders_)) throw CannotSetAside(path);
}

bool RunJournal::MemberFailed(const std::string& name) {
  const auto found = memberIndex_.find(platform::UpperCase(name));
  if (found == memberIndex_.end()) return false;
  const Member& member = members_[found->second];
  const std::string path = journal_.target + name;
  return member.setAside && !member.keptAs.empty() && !platform::FileExists(path) &&
         platform::FileExists(aside_ + member.keptAs) && PutBack(aside_ + member.keptAs, path, folders_);
}

void RunJournal::Commit() {
  Append({{Kind::Commit}});
  folders_.ReleaseAll();
  asideHeld_.reset();
  file_.reset();
  // A record that cannot be put in place yet is put there by the next start.
  FinishCommit(store_, journal_);
}

bool RunJournal::Undo(InstallObserver& observer) {
  folders_.ReleaseAll();
  asideHeld_.reset();
  const bool complete = UndoJournal(journal_, observer);
  file_.reset();
  if (complete) DiscardJournal(store_, journal_);
  return complete;
}

}  // namespace install
