// The archive input and output sink on a POSIX file system, for the native build (tests,
// benchmark). The Windows build has its own in the DLL.
#pragma once

#include <memory>
#include <string>

#include "archive_input.h"
#include "output_sink.h"

namespace unzip {

class PosixFileInput : public ArchiveInput {
 public:
  // Null when the file cannot be opened.
  static std::unique_ptr<PosixFileInput> Open(const std::string& path);
  ~PosixFileInput() override;
  PosixFileInput(const PosixFileInput&) = delete;
  PosixFileInput& operator=(const PosixFileInput&) = delete;

  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t length) override;

 private:
  PosixFileInput(int fd, uint64_t size) : fd_(fd), size_(size) {}
  int fd_;
  uint64_t size_;
};

// Writes below `baseFolder` (which must exist); empty means the current folder.
class PosixSink : public OutputSink {
 public:
  explicit PosixSink(std::string baseFolder);

  FolderResult CreateFolders(const std::string& folder) override;
  ExistingEntry Examine(const std::string& path) override;
  std::unique_ptr<PendingFile> Begin(const std::string& path) override;

 private:
  std::string Full(const std::string& path) const;
  std::string base_;
  unsigned long nextTemporary_ = 0;
};

}  // namespace unzip
