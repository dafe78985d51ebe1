// TZipArchive::List: the archive's central directory into Entries.
#include <windows.h>

#include <new>

#include "ZipArchive.h"
#include "application.h"
#include "drive_check.h"
#include "drive_parts.h"
#include "files.h"
#include "name_conversion.h"
#include "zip_messages.h"

namespace {

// The OEM-to-ANSI conversion of one character, as the system's code pages define it.
char OemCharToAnsi(char c) {
  char out = c;
  ::OemToCharBuffA(&c, &out, 1);
  return out;
}

// UTF-8 in the ANSI code page; a character without an exact form there becomes "?". Text
// that is not UTF-8 stays as it is. Both as in the unzip library's report of such a name.
std::string Utf8ToAnsi(const std::string& utf8) {
  const int wideLength =
      ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()), nullptr, 0);
  if (wideLength <= 0) return utf8;
  std::wstring wide(size_t(wideLength), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], wideLength);
  const int length =
      ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0, "?", nullptr);
  std::string ansi(size_t(length), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, &ansi[0], length, "?", nullptr);
  return ansi;
}

// A directory text in the ANSI code page.
std::string ToAnsi(const zipfmt::EntryText& text) {
  switch (text.encoding) {
    case zipfmt::TextEncoding::kUtf8: return Utf8ToAnsi(text.text);
    case zipfmt::TextEncoding::kOem: return zipfmt::ConvertHighBytes(text.text, OemCharToAnsi);
    case zipfmt::TextEncoding::kAnsi: break;
  }
  return text.text;
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
    zipfmt::DirectoryListing listing;
    bool ok = false;
    try {
      ReadListing(listing);
      ok = true;
    } catch (const EZipArchive& e) {
      ReportError(e);
    } catch (const zipfmt::ZipError& e) {
      ReportError(EZipArchive(e));
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

void TZipArchive::ReadListing(zipfmt::DirectoryListing& listing) {
  const std::string root = ziparchive::DriveRoot(zipFilename_);
  const ziparchive::DriveState drive = CheckDrive(root);
  ziparchive::DriveParts parts(*this, zipFilename_);
  parts.OpenListed();
  ziparchive::PartsAsDisks disks(parts);
  zipfmt::ReadDirectory(disks, zipfmt::LabelDiskNumber(drive.label), listing, [this](int id) { ReportMessage(id); });
}

// Keeps what the listing read, also up to a failure: names and comments in the ANSI code page,
// decoded by the same rule as the unzip library's.
void TZipArchive::TakeEntries(zipfmt::DirectoryListing& listing) {
  archiveComment_ = listing.comment;
  isSpanned_ = listing.isSpanned;
  endDiskNumber_ = listing.endDiskNumber;
  structureWarning_ = listing.structureWarning;
  entries_ = std::move(listing.entries);
  for (ZipDirEntry& entry : entries_) {
    const zipfmt::ZipNameInfo name{entry.fileName, entry.extraField, entry.flags, entry.hostSystem, entry.specVersion};
    entry.fileName = zipfmt::ToBackslashes(ToAnsi(zipfmt::EntryName(CodePage, name)));
    const zipfmt::TextEncoding commentEncoding =
        zipfmt::StoredTextEncoding(CodePage, entry.flags, entry.hostSystem, entry.specVersion);
    entry.fileComment = ToAnsi({entry.fileComment, commentEncoding});
  }
}
