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
};

struct ExistingEntry {
  enum Kind { kNone, kFile, kFolder };
  Kind kind = kNone;
  DosTime modified;  // for files
};

// A file being written under a temporary name beside its target. Destroying it without a
// successful Commit removes the temporary file and leaves the target as it was.
class PendingFile {
 public:
  virtual ~PendingFile() = default;
  virtual bool Write(const uint8_t* data, size_t length) = 0;
  // Gives the file its date and moves it over the target. After a failure the temporary file
  // is gone and the target is unchanged.
  virtual bool Commit(DosTime modified) = 0;
};

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // Creates the folder and every missing folder above it; true when it exists afterwards.
  virtual bool CreateFolders(const std::string& folder) = 0;
  virtual ExistingEntry Examine(const std::string& path) = 0;
  // Starts a temporary file beside `path`; null when it cannot be created.
  virtual std::unique_ptr<PendingFile> Begin(const std::string& path) = 0;
};

}  // namespace unzip
