// Where extracted members go. The engine hands over paths relative to the extraction folder,
// with "/" separators, that it has already checked; a sink only maps them onto its storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace unzip {

// An MS-DOS date and time as stored in the archive (local time, two-second steps).
struct DosTime {
  uint16_t date = 0;
  uint16_t time = 0;
  // Orders two stamps in time.
  uint32_t Stamp() const { return (uint32_t(date) << 16) | time; }
  // A real date and time. Some writers store 0 or other impossible values; a file then keeps
  // the time it got when it was written.
  bool Valid() const {
    const unsigned year = 1980 + (date >> 9), month = (date >> 5) & 0x0F, day = date & 0x1F;
    static const unsigned char kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
    if (month == 2 && day == 29 && (year % 4 != 0 || (year % 100 == 0 && year % 400 != 0))) return false;
    return (time >> 11) < 24 && ((time >> 5) & 0x3F) < 60 && (time & 0x1F) < 30;
  }
};

struct ExistingEntry {
  enum Kind { kNone, kFile, kFolder };
  Kind kind = kNone;
  DosTime modified;  // for files
};

// A file being written: under its own name when it is new, else under a temporary name beside
// the existing one. Destroying it without a successful Commit removes what was written and
// leaves an existing target as it was.
class PendingFile {
 public:
  virtual ~PendingFile() = default;
  virtual bool Write(const uint8_t* data, size_t length) = 0;
  // Gives the file its date (when valid) and, when it replaces one, moves it over the target.
  // After a failure what was written is gone and an existing target is unchanged.
  virtual bool Commit(DosTime modified) = 0;
};

enum class FolderResult {
  kOk,
  kFailed,
  kLink,  // a folder on the way is a link (symbolic link, junction) to another place
};

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // Creates the folder and every missing folder above it; kOk when it exists afterwards as a
  // real folder below the base folder. Nothing is written through a link that already exists
  // there, since it may lead out of the base folder.
  virtual FolderResult CreateFolders(const std::string& folder) = 0;
  virtual ExistingEntry Examine(const std::string& path) = 0;
  // Starts the file `path`; null when it cannot be created.
  virtual std::unique_ptr<PendingFile> Begin(const std::string& path) = 0;
};

}  // namespace unzip
