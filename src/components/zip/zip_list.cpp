// TZipArchive::List: the archive's central directory into Entries.
#include <windows.h>

#include <new>

#include "ZipArchive.h"
#include "application.h"
#include "drive_check.h"
#include "drive_parts.h"
#include "files.h"
#include "name_conversion.h"
#include "span_errors.h"
#include "zip_messages.h"

namespace {

// The OEM-to-ANSI conversion of one character, as the system's code pages define it.
char OemCharToAnsi(char c) {
  char out = c;
  ::OemToCharBuffA(&c, &out, 1);
  return out;
}

}  // namespace

void TZipArchive::List() {
  if (loading_) return;
  entries_.clear();
  sfxOffset_ = 0;
  endDiskNumber_ = 0;
  archiveComment_.clear();
  isSpanned_ = false;
  structureWarning_ = false;
  if (!platform::FileExists(zipFilename_)) {
    FireDirUpdate();
    return;
  }
  {
    forms::BusyCursor busy;
    zipcore::DirectoryListing listing;
    bool ok = false;
    try {
      ReadListing(listing);
      ok = true;
    } catch (const EZipArchive& e) {
      ReportError(e);
    } catch (const zipcore::ZipError& e) {
      ReportError(e.HasNumber() ? EZipArchive(e.Id(), e.Number()) : EZipArchive(e.Id(), true));
    } catch (const span::SpanError& e) {
      ReportError(e.HasNumber() ? EZipArchive(e.Id(), e.Number()) : EZipArchive(e.Id(), true));
    } catch (const std::bad_alloc&) {
      ReportMessage(zipmsg::kOutOfMemory);
    } catch (...) {
      ReportMessage(zipmsg::kUnknownListError);
    }
    TakeEntries(listing);
    if (ok) {
      sfxOffset_ = int(listing.sfxOffset);
    } else {
      zipFilename_.clear();
      sfxOffset_ = 0;
    }
  }
  FireDirUpdate();
}

void TZipArchive::ReadListing(zipcore::DirectoryListing& listing) {
  const std::string root = ziparchive::DriveRoot(zipFilename_);
  const ziparchive::DriveState drive = CheckDrive(root);
  ziparchive::DriveParts parts(*this, zipFilename_);
  parts.OpenListed();
  ziparchive::PartsAsDisks disks(parts);
  zipcore::ReadDirectory(disks, zipcore::LabelDiskNumber(drive.label), listing,
                         [this](int id) { ReportMessage(id); });
}

// Keeps what the listing read, also up to a failure: names and comments converted.
void TZipArchive::TakeEntries(zipcore::DirectoryListing& listing) {
  archiveComment_ = listing.comment;
  isSpanned_ = listing.isSpanned;
  endDiskNumber_ = listing.endDiskNumber;
  structureWarning_ = listing.structureWarning;
  entries_ = std::move(listing.entries);
  for (ZipDirEntry& entry : entries_) {
    entry.fileName = zipcore::ToBackslashes(ConvertText(entry.fileName, entry));
    entry.fileComment = ConvertText(entry.fileComment, entry);
  }
}

std::string TZipArchive::ConvertText(const std::string& text, const ZipDirEntry& entry) const {
  if (!zipcore::UsesOemText(CodePage, entry.hostSystem, entry.specVersion)) return text;
  return zipcore::ConvertHighBytes(text, OemCharToAnsi);
}
