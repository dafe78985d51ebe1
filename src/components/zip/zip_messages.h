// String-table ids of the archive component's messages (texts in ziparchive.rc). The join of
// multi-part sets raises the ids of span_errors.h from the same table.
#pragma once

namespace zipmsg {

constexpr int kNoArchiveFile = 10102;       // Extract without an existing archive file
constexpr int kOutOfMemory = 10103;
constexpr int kSeekFailed = 10201;          // seeking in the central directory
constexpr int kUnknownListError = 10202;
constexpr int kStructureWarning = 10203;    // stated and computed directory offsets differ
constexpr int kTrailingData = 10204;        // bytes after the end record and its comment
constexpr int kLibraryFailure = 10501;      // a failure inside the library's execute call
constexpr int kPasswordPlaceholder = 10502; // unattended encryption without a password
constexpr int kLibraryLoaded = 10701;       // trace
constexpr int kNoUnzipExec = 10702;
constexpr int kNoUnzipVersion = 10703;
constexpr int kLibraryNotFound = 10704;
constexpr int kFileNotFound = 11001;        // the archive cannot be opened for reading
constexpr int kUnknownDrive = 11003;        // %s: the drive root
constexpr int kDriveNotReady = 11004;       // %s: the drive root
constexpr int kUserCancel = 11007;
constexpr int kCentralHeaderRead = 11013;
constexpr int kCentralSignature = 11015;
constexpr int kCentralName = 11017;
constexpr int kCentralComment = 11022;
constexpr int kUnknownSpanError = 11024;
constexpr int kUnattendedPrompt = 11025;
constexpr int kTempFileName = 11027;        // no temporary name or folder for the joined copy
constexpr int kInsertLastDisk = 11033;
constexpr int kInsertDisk = 11034;          // disk %d of %d
constexpr int kInDrive = 11035;             // "\n" and the drive %s
constexpr int kNotAnArchive = 11036;
constexpr int kFirstDiskOfSet = 11037;      // the first disk of a set holds no end record
constexpr int kDiskHasNoEndRecord = 11038;  // disk %d holds no end record
constexpr int kJoinedFileReplaced = 11039;  // the joined archive is no longer the file written
constexpr int kNoEndRecordOnSet = 11045;    // a disk of a set without an end record

}  // namespace zipmsg
