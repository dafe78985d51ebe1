#include "uninstaller.h"

#include "ShellLinkPaths.h"
#include "error.h"
#include "extraction_record.h"
#include "files.h"
#include "handle.h"
#include "links.h"
#include "setup_description.h"

#include <windows.h>

#include <algorithm>
#include <shlobj.h>
#include <shobjidl.h>

namespace uninstall {

namespace {

std::string WithoutLeadingBackslash(const std::string& path) {
  return (!path.empty() && path[0] == '\\') ? path.substr(1) : path;
}

std::string MachineKeyName(const std::string& path) { return "HKEY_LOCAL_MACHINE\\" + WithoutLeadingBackslash(path); }

// The current user's shell folder as setup's link component read it; "" when unknown.
std::string ShellFolderPath(shelllink::TShellFolderKind kind) {
  try {
    platform::Registry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKeyReadOnly(shelllink::kShellFoldersKey)) return {};
    return registry.ReadString(shelllink::ShellFolderValueName(kind));
  } catch (const platform::Error&) {
    return {};
  }
}

std::wstring Widen(const std::string& text) {
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(size > 0 ? size_t(size) : 1, L'\0');
  if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], size);
  wide.resize(wide.size() - 1);
  return wide;
}

// Deletes a file or an empty folder through a handle that is checked to be the entry `path`
// names, never a link or what a link points to; a read-only flag taken over from the archive
// is cleared first. True when the entry is gone afterwards.
bool DeleteEntry(const std::string& path) {
  const platform::UniqueFile entry =
      platform::OpenWithoutFollowing(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  if (!entry) return ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
  if (!platform::HandleIsAt(entry.get(), path)) return false;
  FILE_DISPOSITION_INFO gone{TRUE};
  if (::SetFileInformationByHandle(entry.get(), FileDispositionInfo, &gone, sizeof gone)) return true;
  FILE_BASIC_INFO basic{};
  if (!::GetFileInformationByHandleEx(entry.get(), FileBasicInfo, &basic, sizeof basic) ||
      !(basic.FileAttributes & FILE_ATTRIBUTE_READONLY))
    return false;
  basic.FileAttributes = (basic.FileAttributes & ~DWORD(FILE_ATTRIBUTE_READONLY)) | FILE_ATTRIBUTE_NORMAL;
  return ::SetFileInformationByHandle(entry.get(), FileBasicInfo, &basic, sizeof basic) &&
         ::SetFileInformationByHandle(entry.get(), FileDispositionInfo, &gone, sizeof gone);
}

bool IsReparsePoint(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

InterruptedRun RecoverInterruptedRun(const InstallRecord& record) {
  const std::optional<install::InstallStore> store = install::InstallStore::Find(record.uninstallEntry);
  if (!store) return {};
  const auto folder = [](shelllink::TShellFolderKind kind) {
    const std::string path = ShellFolderPath(kind);
    return path.empty() ? path : platform::IncludeTrailingBackslash(path);
  };
  const install::JournalPlaces places{record.uninstallEntry,
                                      record.programEntry,
                                      store->Folder(),
                                      platform::IncludeTrailingBackslash(platform::WindowsFolder()),
                                      {folder(shelllink::sfProgramsMenu), folder(shelllink::sfStartup)}};
  struct : install::InstallObserver {
    void Undone(const std::string& what, bool succeeded) override {
      if (!succeeded) failures.push_back(what);
    }
    std::vector<std::string> failures;
  } observer;
  InterruptedRun run{install::RecoverInterruptedRun(*store, places, observer), {}};
  switch (run.outcome) {
    case install::Recovery::RolledBack:
      run.text = "Eine Installation von " + record.product +
                 " wurde nicht abgeschlossen. Was sie bereits geändert hatte, wurde rückgängig gemacht.";
      break;
    case install::Recovery::Incomplete:
      run.text = install::FailureReport(observer.failures,
                                        "Eine Installation von " + record.product +
                                            " wurde nicht abgeschlossen. Folgendes konnte nicht rückgängig gemacht "
                                            "werden; die Deinstallation wird nicht ausgeführt:",
                                        "... und %d weitere", kMaxReportedItems);
      break;
    case install::Recovery::Refused:
      run.text =
          "Das Protokoll einer unterbrochenen Installation wurde nicht befolgt: es ist beschädigt oder "
          "gehört nicht zu dieser Installation. Es liegt unter " +
          store->RefusedJournalPath() + ".";
      break;
    default: break;
  }
  return run;
}

bool SamePath(const std::string& a, const std::string& b) {
  const std::wstring wa = Widen(a), wb = Widen(b);
  return ::CompareStringOrdinal(wa.c_str(), int(wa.size()), wb.c_str(), int(wb.size()), TRUE) == CSTR_EQUAL;
}

Uninstaller::Uninstaller(std::string setupInf, InstallRecord record, std::optional<install::InstallationRecord> stored)
    : setupInf_(platform::ExpandFileName(setupInf)),
      target_(platform::ExtractFilePath(setupInf_)),
      record_(std::move(record)),
      stored_(std::move(stored)) {
  if (!stored_) return;
  // The record decides: Setup.inf's list names nothing more than it, and the keys are its own.
  std::vector<std::string> listed = std::move(record_.files);
  record_.files.clear();
  for (const std::string& file : stored_->files) record_.files.push_back(file);
  for (const std::string& file : listed) {
    const bool recorded = std::any_of(stored_->files.begin(), stored_->files.end(),
                                      [&](const std::string& ours) { return SamePath(ours, file); });
    if (!recorded) leftovers_.push_back({file, Reason::NotRecorded});
  }
  record_.programEntry = stored_->programEntry;
  const std::string root = setupreg::kUninstallRoot;
  record_.uninstallEntry =
      stored_->uninstallEntry.size() > root.size() && SamePath(stored_->uninstallEntry.substr(0, root.size()), root)
          ? stored_->uninstallEntry.substr(root.size())
          : stored_->uninstallEntry;
}

void Uninstaller::Run() {
  if (stored_) {
    RemoveRecordedLinks();
  } else {
    RemoveLinks();
  }
  RemoveProgramEntry();
  RemoveUninstallEntry();
  RemoveFiles();
  RemoveFolders();
}

// A path strictly below the target folder, after resolving "." and ".." segments (a path
// too long to resolve keeps them and is refused).
bool Uninstaller::InTarget(const std::string& path) const {
  const std::string full = platform::ExpandFileName(path);
  return !HasUnresolvedSegments(full) && full.size() > target_.size() && full.back() != '\\' &&
         SamePath(full.substr(0, target_.size()), target_);
}

bool Uninstaller::TargetOrBelow(const std::string& path) const {
  const std::string full = platform::IncludeTrailingBackslash(platform::ExpandFileName(path));
  return !HasUnresolvedSegments(full) && full.size() >= target_.size() &&
         SamePath(full.substr(0, target_.size()), target_);
}

bool Uninstaller::NamesOurSetupInf(const std::string& path) const {
  return !path.empty() && SamePath(platform::ExpandFileName(path), setupInf_);
}

// ---- Links

void Uninstaller::RemoveLinks() {
  // Both paths are read before the first link is loaded: loading the shell may write the
  // "Shell Folders" values afresh.
  const std::string programs = ShellFolderPath(shelllink::sfProgramsMenu);
  const std::string startup = ShellFolderPath(shelllink::sfStartup);
  if (!programs.empty()) {
    const std::string folder = shelllink::LinkFolderPath(programs, shelllink::NormalizeSubfolder("\\" + record_.group));
    RemoveLink(shelllink::LinkFilePath(folder, setupreg::kUninstallLinkName),
               [this](const LinkContents& link) { return NamesOurSetupInf(LastQuotedField(link.arguments)); });
    for (const auto& entry : record_.groupLinks) {
      RemoveLink(shelllink::LinkFilePath(folder, entry.first),
                 [this](const LinkContents& link) { return TargetOrBelow(link.target); });
    }
    for (const std::string& level : FolderLevels(record_.group)) RemoveFolder(programs + "\\" + level);
  }

  if (!startup.empty() && !record_.autostartExe.empty()) {
    RemoveLink(shelllink::LinkFilePath(startup, record_.autostartName),
               [this](const LinkContents& link) { return TargetOrBelow(link.target); });
  }
}

void Uninstaller::RemoveLink(const std::string& linkPath, const std::function<bool(const LinkContents&)>& isOurs) {
  const std::string path = platform::ExpandFileName(linkPath);
  if (!platform::FileExists(path)) return;

  platform::ComPtr<IShellLinkA> link;
  platform::ComPtr<IPersistFile> file;
  LinkContents contents;
  bool loaded =
      SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void())) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put_void())) &&
      SUCCEEDED(file->Load(Widen(path).c_str(), STGM_READ));
  if (loaded) {
    char buffer[INFOTIPSIZE] = "";
    if (SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH))) contents.target = buffer;
    buffer[0] = '\0';
    if (SUCCEEDED(link->GetArguments(buffer, INFOTIPSIZE))) contents.arguments = buffer;
  }
  file.reset();
  link.reset();

  if (!loaded || !isOurs(contents)) {
    leftovers_.push_back({path, Reason::NotOurs});
  } else if (!::DeleteFileA(path.c_str()) && platform::FileExists(path)) {
    leftovers_.push_back({path, Reason::DeleteFailed});
  } else {
    Removed(path);
  }
}

// ---- Registry

void Uninstaller::RemoveProgramEntry() {
  RemoveRegistryValues(
      record_.programEntry, setupreg::ProgramEntryValues(),
      [this](const platform::Registry& key) {
        const std::string folder = key.ReadString(setupreg::kProgramPath);
        return !folder.empty() &&
               SamePath(platform::IncludeTrailingBackslash(platform::ExpandFileName(folder)), target_);
      },
      true);
}

void Uninstaller::RemoveUninstallEntry() {
  RemoveRegistryValues(
      setupreg::kUninstallRoot + record_.uninstallEntry, setupreg::UninstallEntryValues(),
      [this](const platform::Registry& key) {
        return NamesOurSetupInf(LastQuotedField(key.ReadString(setupreg::kUninstallString)));
      },
      !record_.uninstallEntry.empty());
}

void Uninstaller::RemoveRegistryValues(const std::string& path, const std::vector<const char*>& values,
                                       const std::function<bool(const platform::Registry&)>& isOurs,
                                       bool mayDeleteKey) {
  const std::string shown = MachineKeyName(path);
  const auto ours = [&isOurs](const platform::Registry& key) {
    try {
      return isOurs(key);
    } catch (const platform::Error&) {  // a value of another type: not what setup wrote
      return false;
    }
  };

  platform::Registry key(HKEY_LOCAL_MACHINE);
  if (!key.OpenExistingKey(path)) {
    // Present but not writable (no right to change the machine's keys): say so.
    platform::Registry reader(HKEY_LOCAL_MACHINE);
    if (reader.OpenKeyReadOnly(path) && ours(reader)) leftovers_.push_back({shown, Reason::DeleteFailed});
    return;
  }
  if (!ours(key)) {
    bool holdsOurNames = false;
    for (const char* name : values) holdsOurNames = holdsOurNames || key.HasValue(name);
    if (holdsOurNames) leftovers_.push_back({shown, Reason::NotOurs});
    return;
  }
  for (const char* name : values) {
    const bool present = key.HasValue(name);
    if (!key.DeleteValue(name))
      leftovers_.push_back({shown + "\\" + name, Reason::DeleteFailed});
    else if (present)
      Removed(shown + "\\" + name);
  }
  const bool empty = key.IsEmpty();
  key.Close();
  if (!mayDeleteKey || !empty || WithoutLeadingBackslash(path).empty()) return;
  if (platform::Registry::DeleteKey(HKEY_LOCAL_MACHINE, path))
    Removed(shown);
  else
    leftovers_.push_back({shown, Reason::DeleteFailed});
}

// ---- Files and folders

// The first folder between the target folder and `full` (a path in it) that is a link
// (junction or symbolic link) to elsewhere, relative to the target folder; "" when none is.
std::string Uninstaller::LinkedFolderOnTheWay(const std::string& full) const {
  for (size_t slash = full.find('\\', target_.size()); slash != std::string::npos; slash = full.find('\\', slash + 1)) {
    if (IsReparsePoint(full.substr(0, slash))) return full.substr(target_.size(), slash - target_.size());
  }
  return {};
}

void Uninstaller::RemoveFiles() {
  for (const std::string& file : record_.files) {
    if (!InTarget(file)) {
      leftovers_.push_back({file, Reason::OutsideTarget});
      continue;
    }
    const std::string full = platform::ExpandFileName(file);
    // What lies behind a link is somewhere else: only the link itself goes (RemoveFolders).
    const std::string link = LinkedFolderOnTheWay(full);
    if (!link.empty()) {
      leftovers_.push_back({full, Reason::OutsideTarget});
      links_.push_back(link);
      continue;
    }
    removedRelative_.push_back(full.substr(target_.size()));
    if (DeleteEntry(full))
      Removed(full);
    else
      leftovers_.push_back({full, Reason::DeleteFailed});
  }
}

// Only an empty folder goes, and never through a link.
void Uninstaller::RemoveFolder(const std::string& path) const {
  if (platform::DirectoryExists(path) && DeleteEntry(path)) Removed(path);
}

void Uninstaller::RemoveFolders() {
  // A folder that still holds something refuses to go; that is how foreign files are kept. A
  // folder link is removed as a link where the system opens it as one (a junction on
  // Windows), never what it points to; else it stays, and so do the folders above it.
  std::vector<std::string> removed = removedRelative_;
  for (const std::string& link : links_) {
    RemoveFolder(target_ + link);
    removed.push_back(link);
  }
  // The folders the archive brought, empty ones among them, deepest first.
  if (stored_) {
    std::vector<std::string> recorded;
    for (const std::string& folder : stored_->folders)
      if (InTarget(folder)) recorded.push_back(folder);
    std::sort(recorded.begin(), recorded.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& folder : recorded) RemoveFolder(folder);
  }
  for (const std::string& folder : FoldersToRemove(removed)) RemoveFolder(target_ + folder);
  RemoveFolder(target_.substr(0, target_.size() - 1));
  if (platform::DirectoryExists(target_)) keptTarget_ = target_;
  // The levels above the target that choosing it created, innermost first.
  if (stored_)
    for (auto folder = stored_->folders.rbegin(); folder != stored_->folders.rend(); ++folder)
      if (!TargetOrBelow(*folder)) RemoveFolder(*folder);
}

// The links the installation recorded, wherever the user's shell folders were then; each is
// deleted as a file of its own, never through a folder link on its way.
void Uninstaller::RemoveRecordedLinks() {
  for (const std::string& link : stored_->links) {
    const std::string folder = platform::ExtractFilePath(link);
    if (!platform::LinkedFolderOnPath(folder).empty()) {
      leftovers_.push_back({link, Reason::NotOurs});
      continue;
    }
    if (DeleteEntry(link))
      Removed(link);
    else
      leftovers_.push_back({link, Reason::DeleteFailed});
  }
  // The program group's folder goes when the links leave it empty.
  const std::string programs = ShellFolderPath(shelllink::sfProgramsMenu);
  for (const std::string& level : FolderLevels(record_.group))
    if (!programs.empty() && platform::LinkedFolderOnPath(programs + "\\" + level).empty())
      RemoveFolder(programs + "\\" + level);
}

}  // namespace uninstall
