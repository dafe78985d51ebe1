// String-table ids of the archive messages (texts in the archive component's ziparchive.rc):
// raised by the component, by the directory reader and by the join of multi-part sets.
#pragma once

namespace zipmsg {

constexpr int kNoArchiveFile = 10102;  // Extract without an existing archive file
constexpr int kOutOfMemory = 10103;
constexpr int kSeekFailed = 10201;  // seeking in the central directory
constexpr int kUnknownListError = 10202;
constexpr int kStructureWarning = 10203;     // stated and computed directory offsets differ
constexpr int kTrailingData = 10204;         // bytes after the end record and its comment
constexpr int kLibraryFailure = 10501;       // a failure inside the library's execute call
constexpr int kPasswordPlaceholder = 10502;  // unattended encryption without a password
constexpr int kLibraryLoaded = 10701;        // trace
constexpr int kNoUnzipExec = 10702;
constexpr int kNoUnzipVersion = 10703;
constexpr int kLibraryNotFound = 10704;
constexpr int kFileNotFound = 11001;   // the archive or a part cannot be opened for reading
constexpr int kUnknownDrive = 11003;   // %s: the drive root
constexpr int kDriveNotReady = 11004;  // %s: the drive root
constexpr int kUserCancel = 11007;     // Cancel in a disk prompt (never shown in a box)
constexpr int kDirectorySeek = 11008;  // join: seeking or skipping in the central directory
constexpr int kCreateJoined = 11009;   // the joined file cannot be created
constexpr int kLocalHeaderRead = 11012;
constexpr int kCentralHeaderRead = 11013;
constexpr int kLocalSignature = 11014;
constexpr int kCentralSignature = 11015;
constexpr int kLocalName = 11016;
constexpr int kCentralName = 11017;
constexpr int kLocalExtra = 11018;
constexpr int kCentralExtra = 11019;
constexpr int kDataDescriptor = 11020;
constexpr int kMemberData = 11021;
constexpr int kCentralComment = 11022;
constexpr int kArchiveComment = 11023;
constexpr int kUnknownJoinError = 11024;
constexpr int kUnattendedPrompt = 11025;    // a prompt would be needed but none may be shown
constexpr int kNameNotInDirectory = 11026;  // a local header whose name the directory lacks
constexpr int kTempFileName = 11027;        // no temporary name or folder for the joined copy
constexpr int kLocalHeaderWrite = 11028;
constexpr int kCentralHeaderWrite = 11029;
constexpr int kEndRecordWrite = 11030;
constexpr int kNoSpanMarker = 11031;
constexpr int kInsertLastDisk = 11033;
constexpr int kInsertDisk = 11034;  // disk %d of %d
constexpr int kInDrive = 11035;     // "\n" and the drive %s
constexpr int kNotAnArchive = 11036;
constexpr int kFirstDiskOfSet = 11037;      // the first disk or part of a set holds no end record
constexpr int kDiskHasNoEndRecord = 11038;  // disk or part %d holds no end record
constexpr int kJoinedFileReplaced = 11039;  // the joined archive is no longer the file written
constexpr int kNoEndRecordOnSet = 11045;    // a disk of a set without an end record

}  // namespace zipmsg
