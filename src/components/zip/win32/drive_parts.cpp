#include "drive_parts.h"

#include <cstdio>

#include "ZipArchive.h"
#include "application.h"
#include "drive_check.h"
#include "part_names.h"
#include "string_table.h"
#include "zip_messages.h"

namespace ziparchive {

DriveParts::DriveParts(TZipArchive& owner, std::string archiveName)
    : owner_(owner),
      archiveName_(std::move(archiveName)),
      root_(DriveRoot(archiveName_)),
      numberedFiles_(owner_.HasNumberedParts(root_)) {}

bool DriveParts::TryOpen(const std::string& name) {
  file_.reset();
  size_ = 0;
  // Others may read the part meanwhile, not write it.
  platform::UniqueFile file(::CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size;
  if (!file || !::GetFileSizeEx(file.get(), &size)) return false;
  size_ = uint64_t(size.QuadPart);
  file_ = std::move(file);
  return true;
}

void DriveParts::OpenListed() {
  if (!TryOpen(archiveName_)) throw EZipArchive(zipmsg::kFileNotFound, true);
}

void DriveParts::OpenLastPart(int attempt) {
  if (numberedFiles_) {
    OpenListed();
  } else {
    bool opened = false;
    if (attempt == 0 && DiskInDrive(-1)) {
      opened = TryOpen(archiveName_);
      if (!opened) owner_.ReportMessage(zipmsg::kFileNotFound);
    }
    if (!opened) PromptAndOpen(-1, -1);
  }
  ::GetFileTime(file_.get(), nullptr, nullptr, &lastPartTime_);
}

void DriveParts::LastPartHasNoEndRecord(int) {
  // Numbered files are named by the user: a wrong one is an error. A disk may be changed.
  if (numberedFiles_) throw span::NoEndRecordError(archiveName_);
}

void DriveParts::ChangeDisk(int disk, int lastDisk) {
  file_.reset();
  if (numberedFiles_) {
    if (!TryOpen(span::FixedDrivePartName(archiveName_, disk, lastDisk)))
      throw EZipArchive(zipmsg::kFileNotFound, true);
  } else {
    PromptAndOpen(disk, lastDisk);
  }
}

void DriveParts::PromptAndOpen(int disk, int lastDisk) {
  file_.reset();  // the disk in the drive may be taken out now
  for (;;) {
    Prompt(disk, lastDisk);
    if (!DiskInDrive(disk)) continue;
    if (TryOpen(archiveName_)) return;
    owner_.ReportMessage(zipmsg::kFileNotFound);
  }
}

void DriveParts::Prompt(int disk, int lastDisk) {
  if (owner_.Unattended) throw EZipArchive(zipmsg::kUnattendedPrompt, true);
  std::string text =
      disk < 0 ? MessageText(zipmsg::kInsertLastDisk) : FormattedMessage(zipmsg::kInsertDisk, {disk + 1, lastDisk + 1});
  text += FormattedMessage(zipmsg::kInDrive, {root_});
  const UINT icon = disk < 0 ? MB_ICONSTOP : 0;
  forms::BoxesOnTop onTop;
  const int answer = ::MessageBoxA(owner_.OwnerWindow(), text.c_str(), forms::Application::Instance().Title().c_str(),
                                   MB_OKCANCEL | icon);
  if (answer != IDOK) throw EZipArchive(zipmsg::kUserCancel, false);
}

bool DriveParts::DiskInDrive(int disk) {
  DriveState drive;
  try {
    drive = owner_.CheckDrive(root_);
  } catch (const EZipArchive&) {
    return false;
  }
  if (disk < 0) return true;
  char expected[16];
  std::snprintf(expected, sizeof expected, "PKBACK# %03d", disk + 1);
  return drive.label == expected;
}

bool DriveParts::Seek(uint64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = LONGLONG(offset);
  return file_ && offset <= size_ && ::SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN);
}

size_t DriveParts::Read(void* buffer, size_t size) {
  size_t done = 0;
  while (file_ && done < size) {
    DWORD got = 0;
    const DWORD want = DWORD(std::min<size_t>(size - done, 1u << 30));
    if (!::ReadFile(file_.get(), static_cast<char*>(buffer) + done, want, &got, nullptr) || got == 0) break;
    done += got;
  }
  return done;
}

}  // namespace ziparchive
