// Joining the parts of a multi-disk or multi-part ZIP archive into one ordinary archive.
//
// The join reads the parts only through a PartSource and writes only through a JoinSink, so
// the byte-level work below is free of Win32: the archive component supplies a source that
// finds parts by file name on fixed drives and prompts for disks on removable drives, and
// tests and fuzzers supply parts from memory.
//
// The parts are untrusted. Every offset, size, count and name read from them is checked
// against what the parts hold; a set that does not fit together ends the join with a
// zipfmt::ZipError, never with a read or write outside what the join should touch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "zip_error.h"
#include "zip_messages.h"
#include "zip_types.h"

namespace span {

// Reads the parts of one set. One part is open at a time; the join always says which.
//
// Errors: any method may throw to end the join. Throw zipfmt::ZipError for the component's own
// messages (11001 part cannot be opened, 11007 the user cancelled a disk prompt, 11025 a
// prompt is needed but the component is unattended, ...). The join lets every exception
// pass unchanged and releases what it holds on the way out.
class PartSource {
 public:
  virtual ~PartSource() = default;

  // Makes the last part available and opens it for reading; the current disk is still
  // unknown (-1). `attempt` counts the passes from 0: in pass 0 a removable drive tries the
  // disk that is in the drive without a prompt; later passes prompt for the last disk.
  virtual void OpenLastPart(int attempt) = 0;

  // The part opened by OpenLastPart(attempt) has no end record. Either throw the error to
  // report (a fixed or network drive throws NoEndRecordError(archive name) at once), or
  // return, and the join calls OpenLastPart(attempt + 1). A source must throw eventually
  // (for example when the user cancels the prompt); the join does not limit the passes.
  virtual void LastPartHasNoEndRecord(int attempt) = 0;

  // The disk change: closes the open part, makes `disk` (from 0) the current disk, makes its
  // part available and opens it for reading, positioned at its start. `lastDisk` is the
  // number of the set's last disk (EndDiskNumber), for the prompt "disk n of m". The join
  // never asks for a disk above `lastDisk`. A part that cannot be opened throws.
  virtual void ChangeDisk(int disk, int lastDisk) = 0;

  // Size in bytes of the open part.
  virtual uint64_t Size() = 0;

  // Positions the open part at `offset`. Returns false, moving nothing, when `offset` lies
  // beyond Size() or the part cannot be positioned.
  virtual bool Seek(uint64_t offset) = 0;

  // Reads up to `size` bytes from the current position. Returns fewer than `size` only at
  // the end of the part; a failed read may return fewer as well, and the join then treats
  // the part as ended.
  virtual size_t Read(void* buffer, size_t size) = 0;
};

// Receives the joined archive, written front to back.
class JoinSink {
 public:
  virtual ~JoinSink() = default;
  // Appends `size` bytes; returns false when they could not all be written.
  virtual bool Write(const void* data, size_t size) = 0;
  // Number of bytes written so far (the position of the next byte).
  virtual uint64_t Position() const = 0;
};

// The archive component's OnProgress and OnMessage events during a join. Sizes are 64-bit
// here; the component narrows them to its Integer parameter.
class JoinEvents {
 public:
  virtual ~JoinEvents() = default;
  // ptTotalFiles (entry count) and ptTotalSize (total of name, data, extra field and comment
  // lengths from the directory) before copying; ptFileStart per entry with the bytes its
  // copy writes (30 + name + extra field + data, + 16 with a data descriptor); ptFileProgress
  // with the size of every write while the entries are copied; ptBatchEnd once at the end,
  // after a failure too.
  virtual void OnProgress(ProgressType type, const std::string& name, int64_t size) = 0;
  // (0, "Kopiere von:" followed by the entry's name with "\" separators) per entry.
  virtual void OnMessage(int errCode, const std::string& text) = 0;
};

// The longest entry name the join table holds.
constexpr size_t kMaxJoinedNameLength = 252;
// Largest piece read or written at once while copying.
constexpr size_t kCopyChunk = 8192;

struct JoinSummary {
  int lastDisk = 0;              // this disk's number in the last part's end record
  int entries = 0;               // entries copied
  uint64_t endRecordOffset = 0;  // where the end record stands in the joined archive
  uint64_t bytesWritten = 0;
};

// Copies every part of the set into `sink` as one single-file archive: the spanning marker
// at the start of disk 0 is dropped, each local entry is copied in disk order, and the
// central directory is written again with the new local-header offsets and disk 0. The end
// record names disk 0 for this disk and the directory's disk and the new directory offset;
// its entry count on this disk becomes the total count, its directory size and comment
// length what was written (the same values as read for a well-formed set).
//
// The steps and the ids they fail with:
//  1. OpenLastPart until the part has an end record (the source decides the error).
//  2. Change to the directory's disk when it is not the last one and read the directory
//     into the join table (11008 seek or skip, 11013 header, 11015 signature, 11017 name;
//     names longer than kMaxJoinedNameLength are 11017).
//  3. Change to disk 0; ptTotalFiles, ptTotalSize; disk 0 must begin with the marker (11031).
//  4. As many local entries as the directory has, in disk order: header (11012 read, 11014
//     signature, 11028 write), name (11016 read, 11028 write, 11026 not in the table),
//     extra field (11018), data (11021; the directory's size when the local one is 0), with
//     bit 3 the 16-byte data descriptor (11020).
//  5. The directory that follows the last entry (11013, 11015, 11017; 11029 header and name
//     written, 11019 extra field, 11022 comment), then the end record (11030) and the
//     archive comment (11023).
// A part that ends moves the reading on to the next disk, but never past the last disk; the
// data ending there first is the error of the step that was reading.
//
// Decisions for sets that do not fit together:
//  - A local header takes the first directory entry of its name that has no header yet,
//    preferring an exact match over one without regard to case; each entry takes one header,
//    so a repeated header is 11026, and after step 4 every entry has its own header.
//  - The directory copied in step 5 must name the entries in the order of the one read in
//    step 2; another name in a place (another directory, a gap after the data) is 11015.
//  - Every byte copied is read once, front to back, so the joined archive holds at most the
//    bytes of the parts after the marker plus the end record and the archive comment.
//
// Throws zipfmt::ZipError with the id of the failing step, whatever the source, sink or events
// throw, and std::bad_alloc. ptBatchEnd is reported in every case. The caller owns the
// clean-up: closing the part, deleting a partly written joined file.
JoinSummary JoinParts(PartSource& source, JoinSink& sink, JoinEvents& events);

}  // namespace span
