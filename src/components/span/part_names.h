// Pure string functions shared by the join and the part sources of every platform.
#pragma once

#include <string>

#include "zip_error.h"
#include "zip_messages.h"

namespace span {

// File name of part `part` (from 0) of a set on a fixed or network drive: the archive name
// with the three characters before its extension replaced by the number part + 1 written
// with at least three digits ("001" for part 0). The extension starts at the last "." of
// the last path component ("\", "/" or ":" end a path component); a name without one gets
// the number at its end, and a shorter stem is replaced whole.
// Example: PartFileName("C:\\Setup\\setup003.zip", 0) == "C:\\Setup\\setup001.zip".
std::string PartFileName(const std::string& archiveName, int part);

// The file that holds disk `disk` of a set on a fixed or network drive whose listed archive,
// `archiveName`, is the last disk `lastDisk`: the listed file itself for the last disk,
// whatever number its name carries ("Setup.zip" after "Se001.zip" and "Se002.zip"), else
// PartFileName.
std::string FixedDrivePartName(const std::string& archiveName, int disk, int lastDisk);

// The three-digit number an archive name carries before its extension (1 for "x001.zip"),
// or -1 when those three characters are not all digits.
int PartNumberInName(const std::string& archiveName);

// The error for a listed part without an end record on a fixed or network drive: 11037 when
// the name carries the number 1 (the first part was listed), 11038 with the number for any
// other number, 11036 when the name carries no number.
zipfmt::ZipError NoEndRecordError(const std::string& archiveName);

// Case folding of one 8-bit character in code page 1252 (ASCII and the Latin letters
// with accents), as file names compare without regard to case.
char FoldCase(char c);
std::string FoldCase(const std::string& text);

}  // namespace span
