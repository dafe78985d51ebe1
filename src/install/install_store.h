// The installation's own store: a folder below the machine's common application data that
// only Administrators and SYSTEM may change, with one folder per installation (named after
// its uninstall entry). It holds what the elevated setup and uninstaller must be able to
// trust later: the journal of a run in progress and the record of what the installation
// wrote. Nothing a user can change (the target folder, the Start menu) serves that purpose.
#pragma once

#include "installation_record.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace install {

class InstallStore {
 public:
  // The store of the installation with this uninstall entry, created when missing. Raises
  // platform::Error when a folder on the way is a link or belongs to someone else.
  static InstallStore Open(const std::string& uninstallEntry);
  // The levels of the store that Open would create, outermost first.
  static std::vector<std::string> MissingLevels(const std::string& uninstallEntry);
  // The store when it exists, without creating anything; raises as Open does.
  static std::optional<InstallStore> Find(const std::string& uninstallEntry);

  // The store's folder, ending in a backslash.
  const std::string& Folder() const { return folder_; }
  // The record of a finished installation and the journal of a run in progress.
  std::string RecordPath() const { return folder_ + "record.ini"; }
  std::string JournalPath() const { return folder_ + "journal.txt"; }
  // Where a journal that was refused is kept, for whoever looks into it.
  std::string RefusedJournalPath() const { return folder_ + "journal-refused.txt"; }

  // The store whose record belongs to the installation with this copy of Setup.inf (its path
  // compared by `samePath`); stores that are links or belong to someone else are passed over.
  static std::optional<InstallStore> FindBySetupInf(
      const std::string& setupInf, const std::function<bool(const std::string&, const std::string&)>& samePath);
  // Deletes the record and the store's folder once the installation is gone.
  void Remove() const;

  // The record of the installation, when there is one that parses; nothing otherwise.
  std::optional<InstallationRecord> LoadRecord() const;
  // Replaces the record whole: a reader sees the old record or the new one, never a mixture.
  // Raises platform::Error when it cannot be written.
  void SaveRecord(const InstallationRecord& record) const;
  // The two halves of SaveRecord, for a run that commits in between: the new record is
  // written beside the record (raising as SaveRecord does), then put in its place; false when
  // that fails. Publishing without a staged record does nothing.
  void StageRecord(const InstallationRecord& record) const;
  bool PublishRecord() const;
  // The staged record goes.
  void DropStagedRecord() const;

  // The folder that holds every installation's store, ending in a backslash.
  static std::string BaseFolder();
  // The folder name of an uninstall entry: readable, and a plain file name whatever the
  // entry holds.
  static std::string FolderName(const std::string& uninstallEntry);

 private:
  explicit InstallStore(std::string folder) : folder_(std::move(folder)) {}
  std::string StagedRecordPath() const { return RecordPath() + ".new"; }
  std::string folder_;
};

}  // namespace install
