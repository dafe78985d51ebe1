// Parts and joined archive as files, through the C runtime only: the part source of numbered
// part files (setup001.zip, setup002.zip, ...) that the tests and benchmark use, and a sink
// that writes the joined archive to a file.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "span_join.h"

namespace span {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Parts named as on a fixed drive: the listed archive is the last part, part n before it is
// PartFileName(archive, n) (FixedDrivePartName). No prompts: a part that cannot be opened throws 11001; a listed
// archive without an end record throws NoEndRecordError at once.
class FilePartSource : public PartSource {
 public:
  explicit FilePartSource(std::string archiveName);

  void OpenLastPart(int attempt) override;
  void LastPartHasNoEndRecord(int attempt) override;
  void ChangeDisk(int disk, int lastDisk) override;
  uint64_t Size() override { return size_; }
  bool Seek(uint64_t offset) override;
  size_t Read(void* buffer, size_t size) override;

 private:
  void Open(const std::string& name);

  std::string archiveName_;
  FilePtr file_;
  uint64_t size_ = 0;
};

// Writes the joined archive to a new file; a file that cannot be created throws 11009.
// Close() flushes and reports whether everything reached the file.
class FileJoinSink : public JoinSink {
 public:
  explicit FileJoinSink(const std::string& path);

  bool Write(const void* data, size_t size) override;
  uint64_t Position() const override { return position_; }
  bool Close();

 private:
  FilePtr file_;
  uint64_t position_ = 0;
};

}  // namespace span
