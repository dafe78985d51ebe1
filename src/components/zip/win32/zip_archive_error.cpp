#include "zip_archive_error.h"

#include "string_table.h"

EZipArchive::EZipArchive(int id, bool showToUser)
    : platform::Error(ziparchive::MessageText(id)), ShowToUser(showToUser), MessageId(id) {}

EZipArchive::EZipArchive(int id, int number)
    : platform::Error(ziparchive::FormattedMessage(id, {number})), ShowToUser(true), MessageId(id) {}

EZipArchive::EZipArchive(int id, const std::string& text)
    : platform::Error(ziparchive::FormattedMessage(id, {text})), ShowToUser(true), MessageId(id) {}

EZipArchive::EZipArchive(const zipfmt::ZipError& error)
    : EZipArchive(error.HasNumber() ? EZipArchive(error.Id(), error.Number()) : EZipArchive(error.Id(), true)) {}
