// The checks of an installation medium before it is written: Setup.inf, language files,
// pictures and the names of the payload, each problem reported with its file and key.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "findings.h"

namespace medium {

// The text in Windows-1252, or nothing when a character has no place in it.
std::optional<std::string> Cp1252FromUtf8(const std::string& utf8);

// A name as Windows compares it: one letter case, "\" separators (code page 1252).
std::string FoldedName(const std::string& cp1252Name);

// What the medium will hold, as setup sees it.
struct MediumContents {
  std::set<std::string> payload;                 // FoldedName of every payload file
  std::map<std::string, std::string> rootFiles;  // FoldedName -> bytes of the files beside setup.exe
};

// A value of Setup.inf as setup reads it (section and key without regard to case, blanks
// around the value dropped), or `defaultValue`.
std::string SetupInfValue(const std::string& text, const std::string& section, const std::string& key,
                          const std::string& defaultValue);

// Payload names (UTF-8, "/" separators, relative to the payload folder; a folder's name
// ends in "/"): valid Windows names in Windows-1252, no two the same but for letter case.
// Adds the valid file names to `payload` (folded, code page 1252).
void CheckPayloadNames(const std::vector<std::string>& names, std::set<std::string>& payload, Findings& findings);

// Sections and keys that setup knows, GroupEntries and Autostart naming payload files,
// picture keys naming decodable pictures of the medium, Defaults naming its language files.
void CheckSetupInf(const std::string& text, const MediumContents& contents, Findings& findings);

// A language file that setup reads as meant: every line in a section and with "=", and the
// sections those of the forms and "Misc".
void CheckLanguageFile(const std::string& file, const std::string& text, Findings& findings);

// A picture decodes as its extension says (bmp, ico, wmf, emf, jpg/jpeg).
void CheckPicture(const std::string& file, const std::string& key, const std::string& bytes, Findings& findings);

}  // namespace medium
