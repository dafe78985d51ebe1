// Member names: which ones are safe to write below the extraction folder, where they land,
// and which file specifications select them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "code_pages.h"

namespace unzip {

// A member's name as the archive means it.
struct MemberName {
  std::string path;   // in UTF-8: the name that is created
  std::string shown;  // the same name in the ANSI code page: the name the caller is told
};

enum class NameStatus { kOk, kBadUtf8, kNotInAnsi };

// Decodes a stored name. A valid Unicode Path in the central extra field gives the name in
// UTF-8; the stored name is UTF-8 when the flags say so; otherwise the archive component's
// rule for its listing decides between the OEM and the ANSI code page, except that a name
// from a Unix host that is valid UTF-8 is taken as UTF-8, as zip tools on Linux write it
// without the flag. On failure `name.shown` still holds a readable form for a message.
NameStatus DecodeMemberName(const std::string& stored, const std::string& extraField, uint16_t flags,
                            uint16_t versionMadeBy, const CodePages& codePages, MemberName& name);

// True when writing the name (a file, or a folder with a trailing separator) below the
// extraction folder cannot reach outside it or a device: no absolute, drive, UNC or "\\?\"
// name, no "..", no ":" (drive or alternate data stream), no part ending in a dot or blank,
// no empty part, no device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an extension),
// no control character or character that Windows refuses in names.
bool IsSafeMemberName(const std::string& name);

// The name without its "." parts ("./a/./b" is "a/b"), which some writers put in front of
// every name; a separator that closes the name stays.
std::string WithoutDotParts(const std::string& name);

// Why one part of a path (between separators) cannot be a Windows file or folder name, or
// nullptr when it can.
const char* NamePartProblem(const std::string& part);

// The path below the extraction folder, with "/" separators and no trailing separator: the
// whole name when stored folders are recreated, else its last part.
std::string OutputPath(const std::string& name, bool dirNames);

// Everything in front of the last "/" of an output path; empty for the base folder.
std::string ParentFolder(const std::string& path);

// The name in one case and with "/" separators, so that names which Windows takes for the
// same file compare equal.
std::string FoldedName(const std::string& name);

// Matches without regard to case (code page 1252); "*" stands for any run of characters,
// "?" for one; "/" and "\" are the same. A trailing ".*" also matches a name without an
// extension, so "*.*" matches every name.
bool MatchesSpec(const std::string& name, const std::string& spec);
bool MatchesAnySpec(const std::string& name, const std::vector<std::string>& specs);

}  // namespace unzip
