// The parts of an archive set as the archive component finds them: numbered part files on
// fixed and network drives, disks with "PKBACK# nnn" labels in a removable drive, asked for
// in message boxes owned by the component's OwnerWindow.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "central_directory.h"
#include "handle.h"
#include "span_join.h"

class TZipArchive;

namespace ziparchive {

class DriveParts : public span::PartSource {
 public:
  DriveParts(TZipArchive& owner, std::string archiveName);

  // Opens the named archive itself, without a prompt (EZipArchive 11001 when it cannot).
  void OpenListed();

  void OpenLastPart(int attempt) override;
  void LastPartHasNoEndRecord(int attempt) override;
  void ChangeDisk(int disk, int lastDisk) override;
  uint64_t Size() override { return size_; }
  bool Seek(uint64_t offset) override;
  size_t Read(void* buffer, size_t size) override;

  // Modification time of the last part, once it has been opened.
  const FILETIME& LastPartTime() const { return lastPartTime_; }

 private:
  bool TryOpen(const std::string& name);
  // Shows the disk prompt for `disk` (-1: the last disk); Cancel ends the operation.
  void Prompt(int disk, int lastDisk);
  // The drive is ready and, for disk >= 0, carries that disk's label.
  bool DiskInDrive(int disk);
  // Prompts until the disk is in the drive and the archive on it can be opened.
  void PromptAndOpen(int disk, int lastDisk);

  TZipArchive& owner_;
  std::string archiveName_;
  std::string root_;
  bool numberedFiles_;
  platform::UniqueFile file_;
  uint64_t size_ = 0;
  FILETIME lastPartTime_{};
};

// The reading side of DriveParts as the directory reader sees it.
class PartsAsDisks : public zipfmt::DiskInput {
 public:
  explicit PartsAsDisks(DriveParts& parts) : parts_(parts) {}
  uint64_t Size() override { return parts_.Size(); }
  bool Seek(uint64_t offset) override { return parts_.Seek(offset); }
  size_t Read(void* buffer, size_t size) override { return parts_.Read(buffer, size); }
  void ChangeDisk(int disk, int lastDisk) override { parts_.ChangeDisk(disk, lastDisk); }

 private:
  DriveParts& parts_;
};

}  // namespace ziparchive
