#include "installation_run.h"

#include "ShellLinkWriter.h"
#include "ZipArchive.h"
#include "error.h"
#include "files.h"
#include "handle.h"
#include "file_identity.h"
#include "links.h"
#include "install_progress.h"
#include "install_paths.h"
#include "installed_files.h"
#include "member_failure.h"
#include "profile.h"
#include "registry.h"
#include "setup_description.h"
#include "IniLang.h"
#include "unzip_abi.h"
#include "value_rules.h"

#include <algorithm>
#include <cstdint>

namespace install {

namespace {

// The archive's directory, read by a component of its own before anything is written;
// nothing when the archive cannot be listed.
std::optional<ArchiveListing> ListArchive(const std::string& archive) {
  TZipArchive lister(nullptr, "SizeLister");
  lister.Unattended = true;
  lister.SetZipFilename(archive);
  if (lister.ZipFilename().empty()) return std::nullopt;
  ArchiveListing listing;
  for (const ZipDirEntry& entry : lister.Entries()) {
    listing.sizes.push_back(entry.uncompressedSize);
    if (!entry.fileName.empty() && entry.fileName.back() == '\\') listing.folders.push_back(entry.fileName);
  }
  return listing;
}

// What the members take on the target's volume: each rounded up to whole clusters.
uint64_t SpaceNeeded(const std::vector<uint64_t>& sizes, uint64_t cluster) {
  uint64_t needed = 0;
  for (const uint64_t size : sizes) needed += (size + cluster - 1) / cluster * cluster;
  return needed;
}

// The text with each "%s" replaced by the next value, in order.
std::string FillIn(std::string text, const std::vector<std::string>& values) {
  size_t at = 0;
  for (const std::string& value : values) {
    at = text.find("%s", at);
    if (at == std::string::npos) break;
    text.replace(at, 2, value);
    at += value.size();
  }
  return text;
}

std::string Megabytes(uint64_t bytes) { return std::to_string((bytes + (1u << 20) - 1) >> 20); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string RuleText(setupinf::Rule rule) {
  switch (rule) {
    case setupinf::Rule::PlainFileName: return LangText("ein Dateiname ohne Ordner", "install_rule_file_name");
    case setupinf::Rule::BelowTarget:
      return LangText("ein Pfad unterhalb des Zielordners", "install_rule_below_target");
    default: return LangText("ein Name unterhalb des vorgesehenen Ordners oder Schlüssels", "install_rule_below_place");
  }
}

std::string TargetReplacedText(const std::string& path) {
  const std::string pattern = LangText(
      "Der Zielordner wurde während der Installation verändert: %s ist nicht mehr die Datei, die Setup "
      "geschrieben hat. Setup bricht die Installation ab.",
      "install_target_replaced");
  return FillIn(pattern, {path});
}

std::string ReasonOf(int errorCode) {
  const ReasonText reason = FailureReason(errorCode);
  return LangText(reason.germanDefault, reason.key);
}

setupinf::PathValues ReadPathValues(const platform::ProfileFile& inf) {
  setupinf::PathValues values;
  values.programEntry = inf.Read(setupinf::kProgramEntry);
  values.uninstallEntry = inf.Read(setupinf::kUninstallEntry);
  values.uninstallString = inf.Read(setupinf::kUninstallString);
  values.groupName = inf.Read(setupinf::kGroupName);
  for (const std::string& key : inf.ReadSectionKeys(setupinf::kGroupEntries))
    values.groupEntries.emplace_back(key, inf.ReadString(setupinf::kGroupEntries, key, ""));
  values.autostartExe = inf.Read(setupinf::kAutostartExe);
  values.autostartName = inf.Read(setupinf::kAutostartName);
  return values;
}

}  // namespace

InstallationRun::InstallationRun(Session& session, TZipArchive& archive, shelllink::TShellLinkWriter& links,
                                 InstallObserver& observer)
    : session_(session), archive_(archive), links_(links), observer_(observer) {
  archive_.OnProgress = [this](forms::Component*, ProgressType type, const std::string& name, int size) {
    ArchiveProgress(type, name, size);
  };
  // The library's messages tell which members failed.
  archive_.OnMessage = [this](forms::Component*, int code, const std::string& text) { ArchiveMessage(code, text); };
}

bool InstallationRun::TargetFolderUsable(const std::string& folder) {
  return setupinf::IsAbsoluteFolderPath(folder) && platform::DirectoryExists(folder) &&
         platform::LinkedFolderOnPath(folder).empty();
}

InstallResult InstallationRun::Run() {
  // The folder may have gone since it was chosen: nothing is written until it is usable.
  if (!TargetFolderUsable(session_.TargetFolder)) {
    observer_.Finished(InstallResult::FailedBeforeWriting);
    return InstallResult::FailedBeforeWriting;
  }
  // A medium whose description would make setup write elsewhere, or a store that cannot be
  // trusted, stops the run before anything is written.
  std::vector<std::string> createdFolders;
  try {
    CheckDescription();
    CheckFreeSpace();
    const platform::ProfileFile medium(session_.SourceDir + setupinf::kFileName);
    const std::string uninstallEntry = medium.Read(setupinf::kUninstallEntry);
    createdFolders = InstallStore::MissingLevels(uninstallEntry);
    store_ = InstallStore::Open(uninstallEntry);
    journal_.emplace(*store_, uninstallEntry, medium.Read(setupinf::kProgramEntry),
                     platform::IncludeTrailingBackslash(session_.TargetFolder));
  } catch (const std::exception&) {
    error_ = std::current_exception();
    observer_.Finished(InstallResult::FailedBeforeWriting);
    return InstallResult::FailedBeforeWriting;
  }
  archive_.ExtrBaseDir = session_.TargetFolder;
  session_.TargetFolder = platform::IncludeTrailingBackslash(session_.TargetFolder);
  InstallResult result = InstallResult::StoppedByError;
  try {
    // The levels of the target that the folder page created (an earlier choice of folder
    // may have made others, which are not on the way).
    for (const std::string& folder : session_.CreatedFolders)
      if (IsOnTheWayTo(folder, session_.TargetFolder)) createdFolders.push_back(folder);
    journal_->RecordFolders(createdFolders);
    CopyDescription();
    const platform::ProfileFile copy(session_.TargetFolder + setupinf::kFileName);
    WriteProgramEntry(copy);
    WriteUninstallEntry(copy);
    Extract();
    if (setAsideError_) std::rethrow_exception(setAsideError_);
    // The user ended setup during the extraction: the program is not installed.
    if (observer_.StopRequested()) {
      result = Undo(InstallResult::StoppedByUser);
    } else {
      Commit(copy);
      result = Outcome();
    }
  } catch (const std::exception&) {
    error_ = std::current_exception();
    result = Undo(InstallResult::StoppedByError);
  }
  observer_.Finished(result);
  return result;
}

InstallResult InstallationRun::Undo(InstallResult stopped) {
  // The extraction left the target folder the current folder, which keeps it from going.
  platform::SetCurrentFolder(session_.SourceDir);
  try {
    return journal_->Undo(observer_) ? stopped : InstallResult::RollbackIncomplete;
  } catch (const std::exception&) {
    return InstallResult::RollbackIncomplete;  // the journal stays for the next start
  }
}

void InstallationRun::CheckDescription() {
  const platform::ProfileFile medium(session_.SourceDir + setupinf::kFileName);
  const auto problems = setupinf::CheckPathValues(ReadPathValues(medium));
  if (problems.empty()) return;
  const setupinf::ValueProblem& first = problems.front();
  const std::string text =
      FillIn(LangText("Setup.inf auf dem Installationsmedium ist ungültig: [%s] %s muss %s sein.", "install_bad_value"),
             {first.section, first.key, RuleText(first.rule)});
  throw platform::Error(text + "\r\n\r\n" + first.value);
}

// The members must fit on the target's volume; an archive that cannot be listed is reported by
// the extraction itself.
void InstallationRun::CheckFreeSpace() {
  listing_ = ListArchive(session_.SourceDir + "setup.zip");
  if (!listing_) return;
  char volume[MAX_PATH] = "";
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  ULARGE_INTEGER available{};
  if (!::GetVolumePathNameA(session_.TargetFolder.c_str(), volume, MAX_PATH) ||
      !::GetDiskFreeSpaceA(volume, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) ||
      !::GetDiskFreeSpaceExA(session_.TargetFolder.c_str(), &available, nullptr, nullptr))
    return;
  const uint64_t needed =
      SpaceNeeded(listing_->sizes, std::max<uint64_t>(uint64_t(sectorsPerCluster) * bytesPerSector, 1));
  if (needed <= available.QuadPart) return;
  const std::string pattern = LangText(
      "Auf dem Ziellaufwerk ist nicht genug Platz frei. Talvenor braucht %s MB, frei sind %s MB. Bitte schaffen Sie "
      "Platz oder wählen Sie einen anderen Zielordner.",
      "install_no_space");
  throw platform::Error(FillIn(pattern, {Megabytes(needed), std::to_string(available.QuadPart >> 20)}));
}

// The copy is made afresh at every run, as a new file through a handle that is checked to be
// in the target folder: a link put in its place, or a target folder swapped for a link, makes
// the run stop instead of writing elsewhere. Without a readable source the copy is empty, and
// every value read from it is its default.
void InstallationRun::CopyDescription() {
  observer_.StepStarted(InstallStep::CopyDescription);
  const std::string copyPath = session_.TargetFolder + setupinf::kFileName;
  journal_->BeforeFileWrite(copyPath);
  copyContent_.clear();
  platform::ReadWholeFile(session_.SourceDir + setupinf::kFileName, copyContent_, 1u << 20);
  ::DeleteFileA(copyPath.c_str());  // a link of that name goes itself, never what it points to
  platform::UniqueFile file(::CreateFileA(copyPath.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) throw platform::Error(platform::FormatText("nach %s kann nicht geschrieben werden", copyPath));
  if (!platform::HandleIsAt(file.get(), copyPath)) {
    FILE_DISPOSITION_INFO gone{TRUE};
    ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &gone, sizeof gone);
    throw platform::Error(TargetReplacedText(copyPath));
  }
  DWORD written = 0;
  if (!::WriteFile(file.get(), copyContent_.data(), DWORD(copyContent_.size()), &written, nullptr) ||
      written != copyContent_.size() || !(copyIdentity_ = platform::IdentityOf(file.get())).known)
    throw platform::Error(platform::FormatText("nach %s kann nicht geschrieben werden", copyPath));
  observer_.Wrote(copyPath, "");
}

// The copy is read only while it is the file the run wrote, with the content it wrote.
void InstallationRun::VerifyCopy() const {
  const std::string copyPath = session_.TargetFolder + setupinf::kFileName;
  const platform::UniqueFile file = platform::OpenWithoutFollowing(copyPath, GENERIC_READ, FILE_SHARE_READ);
  std::string content;
  bool same = file && platform::SameFile(platform::IdentityOf(file.get()), copyIdentity_) &&
              platform::HandleIsAt(file.get(), copyPath);
  if (same) {
    content.resize(copyContent_.size() + 1);
    DWORD read = 0;
    same = ::ReadFile(file.get(), &content[0], DWORD(content.size()), &read, nullptr) && read == copyContent_.size() &&
           content.compare(0, read, copyContent_) == 0;
  }
  if (!same) throw platform::Error(TargetReplacedText(copyPath));
}

void InstallationRun::WriteProgramEntry(const platform::ProfileFile& copy) {
  observer_.StepStarted(InstallStep::ProgramEntry);
  platform::Registry program(HKEY_LOCAL_MACHINE);
  const std::string key = copy.Read(setupinf::kProgramEntry);
  VerifyCopy();
  programEntry_ = key;
  journal_->BeforeKeyWrite(key, setupreg::ProgramEntryValues());
  program.OpenKey(key);
  const std::string where = "HKEY_LOCAL_MACHINE\\" + key + "\\";
  program.WriteString(setupreg::kProgramPath, session_.TargetFolder);
  observer_.Wrote(where + setupreg::kProgramPath, session_.TargetFolder);
  program.WriteBool(setupreg::kSleepMode, false);
  observer_.Wrote(where + setupreg::kSleepMode, "0");
  program.WriteBool(setupreg::kFixed, session_.FixedLanguage);
  observer_.Wrote(where + setupreg::kFixed, session_.FixedLanguage ? "1" : "0");
  program.WriteString(setupreg::kLanguage, session_.LanguageFile);
  observer_.Wrote(where + setupreg::kLanguage, session_.LanguageFile);
}

// The uninstall entry, the uninstaller in the Windows folder and its link in the group.
void InstallationRun::WriteUninstallEntry(const platform::ProfileFile& copy) {
  observer_.StepStarted(InstallStep::UninstallEntry);
  platform::Registry uninstall(HKEY_LOCAL_MACHINE);
  const std::string key = setupreg::kUninstallRoot + copy.Read(setupinf::kUninstallEntry);
  const std::string displayName = copy.Read(setupinf::kDisplayName);
  const std::string group = copy.Read(setupinf::kGroupName);
  // The uninstaller comes from the setup program's own folder, not from SourceDir.
  const std::string uninstaller = copy.Read(setupinf::kUninstallString);
  const std::string publisher = copy.Read(setupinf::kPublisher);
  const std::string version = copy.Read(setupinf::kDisplayVersion);
  VerifyCopy();
  uninstallKey_ = key;
  journal_->BeforeKeyWrite(key, setupreg::UninstallEntryValues());
  uninstall.OpenKey(key);
  const std::string where = "HKEY_LOCAL_MACHINE" + key + "\\";
  const auto write = [&](const char* name, const std::string& value) {
    uninstall.WriteString(name, value);
    observer_.Wrote(where + name, value);
  };
  const auto writeNumber = [&](const char* name, int32_t value) {
    uninstall.WriteInteger(name, value);
    observer_.Wrote(where + name, std::to_string(value));
  };
  write(setupreg::kDisplayName, displayName);

  links_.CreateIn.ShellFolder = shelllink::sfProgramsMenu;
  links_.CreateIn.SetSubfolder("\\" + group);

  const std::string installed = platform::WindowsFolder() + "\\" + uninstaller;
  journal_->BeforeFileWrite(installed);
  ::CopyFileA((platform::ExeFolder() + uninstaller).c_str(), installed.c_str(), FALSE);
  uninstallerCopy_ = installed;
  observer_.Wrote(installed, "");

  const std::string setupInfArgument = Quoted(session_.TargetFolder + setupinf::kFileName);
  links_.LinkName = setupreg::kUninstallLinkName;
  links_.LinkTarget = installed;
  links_.ParamString = setupInfArgument;
  const std::string linkFolder = links_.LinkFolder();
  const std::string link = platform::ExpandFileName(shelllink::LinkFilePath(linkFolder, links_.LinkName));
  journal_->RecordMissingLevels(linkFolder);
  journal_->BeforeFileWrite(link);
  links_.CreateLink(false);
  writtenLinks_.push_back(link);
  observer_.Wrote(writtenLinks_.back(), installed);

  write(setupreg::kUninstallString, Quoted(installed) + " " + setupInfArgument);
  // What "Apps & features" shows besides the name. Publisher and version come from the
  // medium and are written only when it sets them.
  write(setupreg::kDisplayIcon, installed);
  write(setupreg::kInstallLocation, session_.TargetFolder);
  if (listing_) {
    uint64_t bytes = 0;
    for (const uint64_t size : listing_->sizes) bytes += size;
    writeNumber(setupreg::kEstimatedSize, int32_t(std::min<uint64_t>((bytes + 1023) / 1024, INT32_MAX)));
  }
  writeNumber(setupreg::kNoModify, 1);
  writeNumber(setupreg::kNoRepair, 1);
  if (!publisher.empty()) write(setupreg::kPublisher, publisher);
  if (!version.empty()) write(setupreg::kDisplayVersion, version);
}

void InstallationRun::Extract() {
  observer_.StepStarted(InstallStep::Extraction);
  archive_.SetZipFilename(session_.SourceDir + "setup.zip");
  // A multi-part set is joined first; the join reports its own progress, which ends with a
  // batch end before the library reports the files it extracts.
  joining_ = archive_.EndDiskNumber() != 0;
  std::vector<std::string> members;
  for (const ZipDirEntry& entry : archive_.Entries()) members.push_back(entry.fileName);
  journal_->BeforeExtraction(members);
  extraction_ = ExtractionRecord();
  archive_.Extract();
  const std::string& target = session_.TargetFolder;
  extraction_.Reconcile(archive_.SuccessCount(),
                        [&](const std::string& name) { return platform::FileExists(target + name); });
}

// The list of the installation's files, written whole into the copy: the copy is written once,
// and is never seen half-written from outside.
void InstallationRun::WriteInstalledFiles(const platform::ProfileFile& copy, const InstallationRecord& record) {
  observer_.StepStarted(InstallStep::InstalledFiles);
  VerifyCopy();
  const std::vector<std::string> files(record.files.begin(), record.files.end() - 1);  // without the copy
  copy.WriteSection(setupinf::kInstalledFiles,
                    InstalledFilesSection(copy.ReadSection(setupinf::kInstalledFiles), files, copy.Path()));
}

// The list of written files and the record, for the uninstaller, where no user can change it;
// then the journal commits.
void InstallationRun::Commit(const platform::ProfileFile& copy) {
  const InstallationRecord record = Record(copy);
  WriteInstalledFiles(copy, record);
  store_->StageRecord(record);
  journal_->Commit();
}

InstallationRecord InstallationRun::Record(const platform::ProfileFile& copy) const {
  InstallationRecord record;
  record.target = session_.TargetFolder;
  record.setupInf = copy.Path();
  record.programEntry = programEntry_;
  record.uninstallEntry = uninstallKey_;
  record.uninstaller = uninstallerCopy_;
  // The levels the folder page created on the way to this target (an earlier choice of
  // folder may have made others, which are not the installation's).
  for (const std::string& folder : session_.CreatedFolders)
    if (IsOnTheWayTo(folder, session_.TargetFolder)) record.folders.push_back(folder);
  // The archive's folder entries (empty folders among them) that are there now.
  if (listing_)
    for (const std::string& folder : listing_->folders)
      if (platform::DirectoryExists(session_.TargetFolder + folder))
        record.folders.push_back(session_.TargetFolder + folder.substr(0, folder.size() - 1));
  record.files = WrittenFiles();
  record.files.push_back(copy.Path());
  record.links = writtenLinks_;
  const std::optional<InstallationRecord> previous = store_->LoadRecord();
  return previous ? UpdatedFrom(*previous, record, platform::FileExists) : record;
}

// Why a member was not installed, in the user's language; one that would have replaced a file
// of an earlier installation leaves that file as it was.
std::string InstallationRun::ReasonFor(const MemberFailure& failure) const {
  std::string reason = ReasonOf(failure.errorCode);
  if (notUpdated_.count(failure.name))
    reason += " (" + LangText("nicht aktualisiert, die bisherige Datei bleibt", "install_not_updated") + ")";
  return reason;
}

InstallResult InstallationRun::Outcome() const {
  return extraction_.Failures().empty() && extraction_.WrittenCount() > 0 ? InstallResult::Complete
                                                                          : InstallResult::Incomplete;
}

std::vector<std::string> InstallationRun::WrittenFiles() const {
  std::vector<std::string> files;
  for (const ExtractionRecord::Member& member : extraction_.Members())
    if (member.written) files.push_back(session_.TargetFolder + member.name);
  return files;
}

std::vector<std::string> InstallationRun::Failures() const {
  std::vector<std::string> failures;
  for (const MemberFailure& failure : extraction_.Failures())
    failures.push_back((failure.name.empty() ? std::string() : failure.name + ": ") + ReasonFor(failure));
  // Nothing extracted and no member named: the archive itself is what was not installed.
  if (failures.empty() && extraction_.WrittenCount() == 0)
    failures.push_back(session_.SourceDir + "setup.zip: " + ReasonOf(unzipabi::kErrArchive));
  return failures;
}

void InstallationRun::ArchiveProgress(ProgressType type, const std::string& name, int size) {
  if (joining_) {
    joining_ = type != ptBatchEnd;
    return;
  }
  if (type != ptFileStart || setAsideError_) return;
  // The old file goes aside before the library creates the member's file.
  try {
    journal_->MemberStarting(name);
  } catch (const std::exception&) {
    setAsideError_ = std::current_exception();
    archive_.Cancel = true;
    return;
  }
  extraction_.MemberStarted(name);
  observer_.FileStarted(name, size, FileShareInPercent(size, archive_.TotalSize()));
}

void InstallationRun::ArchiveMessage(int code, const std::string& text) {
  const bool memberOpen = code != 0 && !extraction_.Members().empty() && extraction_.Members().back().written;
  // A member that replaced a file keeps the old one when it fails.
  if (memberOpen && journal_->MemberFailed(extraction_.Members().back().name))
    notUpdated_.insert(extraction_.Members().back().name);
  if (const auto failure = extraction_.Message(code, text))
    observer_.MemberFailed(failure->name, failure->errorCode, ReasonFor(*failure));
}

// ---- The finish

namespace {

void AddLinksToRecord(const Session& session, const std::vector<std::string>& links) {
  const platform::ProfileFile copy(session.TargetFolder + setupinf::kFileName);
  const std::optional<InstallStore> store = InstallStore::Find(copy.Read(setupinf::kUninstallEntry));
  std::optional<InstallationRecord> record = store ? store->LoadRecord() : std::nullopt;
  if (!record || record->target != session.TargetFolder) return;
  record->links.insert(record->links.end(), links.begin(), links.end());
  store->SaveRecord(*record);
}

}  // namespace

void WriteFinishLinks(const Session& session, shelllink::TShellLinkWriter& links, InstallObserver& observer,
                      bool autostart) {
  // The description file on the medium, not the copy in the target folder.
  const platform::ProfileFile inf(session.SourceDir + setupinf::kFileName);
  const std::string& target = session.TargetFolder;
  const std::string exeString = inf.Read(setupinf::kAutostartExe);
  std::string linkFolder;
  std::vector<std::string> written;
  // A medium without an autostart program gets no Startup link: a link to the bare target
  // folder would open it in a window at every logon.
  if (autostart && !exeString.empty()) {
    const auto command = shelllink::SplitExeString(exeString);
    links.CreateIn.ShellFolder = shelllink::sfStartup;
    links.WorkingDirectory = target;
    links.LinkName = inf.Read(setupinf::kAutostartName);
    links.LinkTarget = target + command.program;
    links.ParamString = command.parameters;
    links.CreateIn.SetSubfolder("");
    links.CreateLink(false, linkFolder);
    written.push_back(platform::ExpandFileName(shelllink::LinkFilePath(linkFolder, links.LinkName)));
    observer.Wrote(written.back(), links.LinkTarget);
  }
  // The group links keep the working folder that the autostart link left, if any.
  links.CreateIn.ShellFolder = shelllink::sfProgramsMenu;
  links.CreateIn.SetSubfolder("\\" + inf.Read(setupinf::kGroupName));
  for (const std::string& key : inf.ReadSectionKeys(setupinf::kGroupEntries)) {
    links.LinkName = key;
    links.LinkTarget = target + inf.ReadString(setupinf::kGroupEntries, key, "");
    links.ParamString.clear();
    links.CreateLink(false, linkFolder);
    written.push_back(platform::ExpandFileName(shelllink::LinkFilePath(linkFolder, links.LinkName)));
    observer.Wrote(written.back(), links.LinkTarget);
  }
  AddLinksToRecord(session, written);
}

}  // namespace install
