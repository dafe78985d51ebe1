// TZipArchive: access to a ZIP archive for the setup. It reads the archive's central
// directory itself (List) and hands the extraction to the unzip library UNZIPLIB.DLL
// (Extract), whose callbacks become OnProgress and OnMessage events. A set of parts is
// joined into one temporary archive first (ReadSpan). Every message comes from the string
// table; it is shown in a box unless Unattended is set and always passed to OnMessage. No
// operation raises to its caller.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "central_directory.h"
#include "component.h"
#include "drive_check.h"
#include "file_identity.h"
#include "zip_archive_error.h"
#include "zip_types.h"

namespace zipcore {
struct CallbackEvent;
}
namespace ziparchive {
class DriveParts;
}

// One central-directory entry: the 42 header bytes from version-made-by up to the local-header
// offset, then the name (converted, "\" separators) and the comment.
using ZipDirEntry = zipfmt::ZipDirEntry;

class TZipArchive : public forms::Component {
 public:
  using TProgressEvent =
      std::function<void(forms::Component* Sender, ProgressType ProgrType, const std::string& Filename, int FileSize)>;
  using TMessageEvent = std::function<void(forms::Component* Sender, int ErrCode, const std::string& Message)>;
  using TNotifyEvent = std::function<void(forms::Component* Sender)>;

  // `owner` may be nullptr (a component made by code). OwnerWindow is the application's main
  // window at this moment.
  explicit TZipArchive(forms::Form* owner, const std::string& name = "ZipArchive1");
  ~TZipArchive() override;

  // While a form description is being loaded, assigning ZipFilename does not list.
  void SetLoading(bool loading) { loading_ = loading; }
  bool Loading() const { return loading_; }

  // ---- Published properties, in their stored order.
  bool Verbose = false;
  bool Trace = false;
  int AddCompLevel = 9;
  AddOpts AddOptions;
  std::string ExtrBaseDir;
  ExtrOpts ExtrOptions;
  SFXOpts SFXOptions{SFXCheckSize};
  const std::vector<std::string>& FSpecArgs() const { return fSpecArgs_; }
  std::vector<std::string>& FSpecArgs() { return fSpecArgs_; }
  void SetFSpecArgs(const std::vector<std::string>& lines) { fSpecArgs_ = lines; }
  bool Unattended = true;
  const std::string& ZipFilename() const { return zipFilename_; }
  void SetZipFilename(const std::string& name);  // runs List unless loading
  const std::string& Password() const { return password_; }
  void SetPassword(const std::string& password);  // at most 255 characters are kept
  std::string SFXPath = "SfxStub.bin";
  const std::string& DLLDirectory() const { return dllDirectory_; }
  void SetDLLDirectory(const std::string& folder);  // one trailing "\" is removed
  OvrOpts SFXOverWriteMode = OvrConfirm;
  std::string SFXCaption = "Self-extracting Archive";
  std::string SFXDefaultDir;
  std::string SFXCommandLine;
  std::string TempDir;
  int KeepFreeOnDisk1 = 0;
  int MaxVolumeSize = 0;
  int MinFreeVolumeSize = 65536;
  bool ConfirmErase = true;
  CodePageOpts CodePage = cpAuto;
  DeleteOpts HowToDelete = htdAllowUndo;
  const std::string& VersionInfo() const { return versionInfo_; }
  void SetVersionInfo(const std::string&) {}  // the version stays what the component is
  TNotifyEvent OnDirUpdate;
  TProgressEvent OnProgress;
  TMessageEvent OnMessage;

  // ---- Run-time state.
  int ErrCode() const { return errCode_; }
  int LibraryErrCode() const { return libraryErrCode_; }
  const std::string& Message() const { return message_; }
  int SuccessCount() const { return successCount_; }
  int TotalSize() const { return totalSize_; }
  // Set by the application to stop a running extraction.
  bool Cancel = false;
  bool Busy() const { return busy_; }
  const std::vector<ZipDirEntry>& Entries() const { return entries_; }
  const std::string& ArchiveComment() const { return archiveComment_; }
  int SfxOffset() const { return sfxOffset_; }
  bool IsSpanned() const { return isSpanned_; }
  int EndDiskNumber() const { return endDiskNumber_; }
  bool StructureWarning() const { return structureWarning_; }
  HWND OwnerWindow() const { return ownerWindow_; }

  // ---- Operations.
  // Reads the central directory of ZipFilename into Entries; fires OnDirUpdate at the end.
  void List();
  // Extracts the members FSpecArgs names into ExtrBaseDir through the library; the library's
  // result goes to SuccessCount. FSpecArgs is cleared afterwards.
  void Extract();
  // What the library's version entry point returns; 0 when the library cannot be loaded.
  int LibraryVersion();
  // Joins the parts of the set whose last part is `archiveName` into one archive. On entry
  // `joinedPath` is a folder (ending in "\") or a file name; on success it names the joined
  // file. Returns 0, or -7 (reported error), -8 (out of memory), -9 (other failure).
  virtual int ReadSpan(const std::string& archiveName, std::string& joinedPath);

  // The common message path: the text of `id` followed by `extra`.
  void ReportMessage(int id, const std::string& extra = std::string());
  // An error caught by the component: shown in a box only when its ShowToUser is set.
  void ReportError(const EZipArchive& error);

  // The library's callback, entered through the record's caller field.
  int32_t LibraryCallback(const zipcore::CallbackEvent& event);
  static TZipArchive* FromCaller(uint32_t caller);

 protected:
  // The drive queries of List and of the join, replaceable so that tests can play disks:
  // the drive check (EZipArchive 11003 / 11004) with the volume label, and whether parts on
  // the drive are numbered files (fixed and network drives) rather than disks to change.
  virtual ziparchive::DriveState CheckDrive(const std::string& root);
  virtual bool HasNumberedParts(const std::string& root);

 private:
  void ShowAndPass(const std::string& text, bool showBox);
  void FireProgress(ProgressType type, const std::string& name, int size);
  void FireDirUpdate();
  void ReadListing(zipfmt::DirectoryListing& listing);
  void TakeEntries(zipfmt::DirectoryListing& listing);
  void RunExtraction();
  friend class ziparchive::DriveParts;

  std::vector<std::string> fSpecArgs_;
  std::string zipFilename_;
  std::string password_;
  std::string dllDirectory_;
  const std::string versionInfo_ = "1.52 K";
  bool loading_ = false;

  int errCode_ = 0;
  int libraryErrCode_ = 0;
  std::string message_;
  int successCount_ = 0;
  int totalSize_ = 0;
  bool busy_ = false;
  std::vector<ZipDirEntry> entries_;
  std::string archiveComment_;
  int sfxOffset_ = 0;
  bool isSpanned_ = false;
  int endDiskNumber_ = 0;
  bool structureWarning_ = false;
  HWND ownerWindow_ = nullptr;

  platform::FileIdentity joinedIdentity_;  // the file that the last ReadSpan wrote

  uint32_t callerId_;
  std::string callbackFailure_;  // what stopped an event handler during the library call
  bool callbackFailed_ = false;
};
