// EZipArchive: the archive component's error, carrying the string-table id of its message.
#pragma once

#include <string>

#include "error.h"
#include "zip_error.h"

class EZipArchive : public platform::Error {
 public:
  // The text of `id`; shown in a box only when `showToUser` is set.
  EZipArchive(int id, bool showToUser);
  // The text of `id` with its number placeholder filled by `number`.
  EZipArchive(int id, int number);
  // The text of `id` with its "%s" filled by `text`.
  EZipArchive(int id, const std::string& text);
  EZipArchive(int id, const char* text) : EZipArchive(id, std::string(text)) {}
  // The text of a portable archive error, with its number where it carries one.
  explicit EZipArchive(const zipfmt::ZipError& error);

  bool ShowToUser;
  int MessageId;
};
