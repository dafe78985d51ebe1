#include "install_store.h"

#include "error.h"
#include "files.h"
#include "owned_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

namespace install {

namespace {

const char kBaseName[] = "Talvenor Setup";

platform::Error CannotWrite(const std::string& path) {
  return platform::Error(platform::FormatText("nach %s kann nicht geschrieben werden", path));
}

}  // namespace

std::string InstallStore::BaseFolder() {
  char path[MAX_PATH] = "";
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)) || !path[0])
    throw platform::Error("Der Ordner für die Anwendungsdaten aller Benutzer ist nicht bekannt.");
  return platform::IncludeTrailingBackslash(path) + kBaseName + "\\";
}

std::string InstallStore::FolderName(const std::string& uninstallEntry) {
  std::string name;
  for (const char c : uninstallEntry)
    name += (static_cast<unsigned char>(c) < 32 || std::string("\\/:*?\"<>|").find(c) != std::string::npos) ? '_' : c;
  // Windows drops trailing dots and blanks from names; "." and ".." are no names at all.
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.back() = '_';
  return name.empty() ? "_" : name;
}

InstallStore InstallStore::Open(const std::string& uninstallEntry) {
  const std::string base = BaseFolder();
  platform::EnsureOwnedFolder(base.substr(0, base.size() - 1));
  const std::string folder = base + FolderName(uninstallEntry);
  platform::EnsureOwnedFolder(folder);
  return InstallStore(folder + "\\");
}

std::vector<std::string> InstallStore::MissingLevels(const std::string& uninstallEntry) {
  std::vector<std::string> levels = platform::MissingFolderLevels(BaseFolder() + FolderName(uninstallEntry));
  // Open creates nothing above the folder of all stores.
  const size_t base = BaseFolder().size() - 1;
  levels.erase(levels.begin(), std::find_if(levels.begin(), levels.end(),
                                            [&](const std::string& level) { return level.size() >= base; }));
  return levels;
}

std::optional<InstallStore> InstallStore::Find(const std::string& uninstallEntry) {
  const std::string folder = BaseFolder() + FolderName(uninstallEntry);
  if (!platform::DirectoryExists(folder)) return std::nullopt;
  return Open(uninstallEntry);
}

std::optional<InstallStore> InstallStore::FindBySetupInf(
    const std::string& setupInf, const std::function<bool(const std::string&, const std::string&)>& samePath) {
  const std::string base = BaseFolder();
  if (!platform::DirectoryExists(base)) return std::nullopt;
  for (const std::string& name : platform::ListFolders(base)) {
    try {
      platform::EnsureOwnedFolder(base.substr(0, base.size() - 1));
      platform::EnsureOwnedFolder(base + name);
    } catch (const platform::Error&) {
      continue;
    }
    const InstallStore store(base + name + "\\");
    const std::optional<InstallationRecord> record = store.LoadRecord();
    if (record && samePath(record->setupInf, setupInf)) return store;
  }
  return std::nullopt;
}

void InstallStore::Remove() const {
  ::DeleteFileA(RecordPath().c_str());
  ::RemoveDirectoryA(folder_.substr(0, folder_.size() - 1).c_str());  // only when empty
}

std::optional<InstallationRecord> InstallStore::LoadRecord() const {
  std::string text;
  if (!platform::ReadWholeFile(RecordPath(), text)) return std::nullopt;
  return InstallationRecord::Parse(text);
}

void InstallStore::SaveRecord(const InstallationRecord& record) const {
  StageRecord(record);
  if (!PublishRecord()) throw CannotWrite(RecordPath());
}

void InstallStore::StageRecord(const InstallationRecord& record) const {
  if (!platform::WriteWholeFile(StagedRecordPath(), record.Serialize())) throw CannotWrite(RecordPath());
}

bool InstallStore::PublishRecord() const {
  if (!platform::FileExists(StagedRecordPath())) return true;
  return ::MoveFileExA(StagedRecordPath().c_str(), RecordPath().c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

void InstallStore::DropStagedRecord() const { ::DeleteFileA(StagedRecordPath().c_str()); }

}  // namespace install
