#include "part_names.h"

#include <algorithm>
#include <cstdio>

namespace span {

namespace {

// Index of the first character of the last path component.
size_t ComponentStart(const std::string& name) {
  const size_t sep = name.find_last_of("\\/:");
  return sep == std::string::npos ? 0 : sep + 1;
}

// Index of the "." that starts the extension, or name.size() when there is none.
size_t ExtensionStart(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot < ComponentStart(name)) return name.size();
  return dot;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string PartFileName(const std::string& archiveName, int part) {
  const size_t ext = ExtensionStart(archiveName);
  const size_t stemStart = ComponentStart(archiveName);
  const size_t replaced = std::min<size_t>(3, ext - stemStart);
  char number[16];
  std::snprintf(number, sizeof number, "%03d", part + 1);
  return archiveName.substr(0, ext - replaced) + number + archiveName.substr(ext);
}

std::string FixedDrivePartName(const std::string& archiveName, int disk, int lastDisk) {
  return disk == lastDisk ? archiveName : PartFileName(archiveName, disk);
}

int PartNumberInName(const std::string& archiveName) {
  const size_t ext = ExtensionStart(archiveName);
  if (ext - ComponentStart(archiveName) < 3) return -1;
  const char* digits = archiveName.data() + ext - 3;
  if (!IsDigit(digits[0]) || !IsDigit(digits[1]) || !IsDigit(digits[2])) return -1;
  return (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
}

zipfmt::ZipError NoEndRecordError(const std::string& archiveName) {
  const int number = PartNumberInName(archiveName);
  if (number == 1) return zipfmt::ZipError(zipmsg::kFirstDiskOfSet);
  if (number < 0) return zipfmt::ZipError(zipmsg::kNotAnArchive);
  return zipfmt::ZipError(zipmsg::kDiskHasNoEndRecord, number);
}

char FoldCase(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return char(u + 0x20);
  // Latin-1 capitals with accents, except the multiplication sign.
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return char(u + 0x20);
  switch (u) {
    case 0x8A: return char(0x9A);  // S with caron
    case 0x8C: return char(0x9C);  // OE ligature
    case 0x8E: return char(0x9E);  // Z with caron
    case 0x9F: return char(0xFF);  // Y with diaeresis
    default: return c;
  }
}

std::string FoldCase(const std::string& text) {
  std::string folded(text);
  for (char& c : folded) c = FoldCase(c);
  return folded;
}

}  // namespace span
