// Small rules of the wizard that need no window: the language list and where the
// copy-progress window goes.
#pragma once

#include <string>
#include <vector>

namespace wizard {

// A language file's name without its extension: the text without its last four characters
// (empty for a shorter text).
std::string WithoutLastFour(const std::string& fileName);

// The entries of the language list for the names of a folder's files, in their order: every
// name whose extension is ".lng" in any letter case, without that extension.
std::vector<std::string> LanguageNames(const std::vector<std::string>& fileNames);

// Top edge of the copy-progress window: the screen height divided by 1.2, rounded to the
// nearest integer with halves going to the even neighbour.
int ProgressWindowTop(int screenHeight);

}  // namespace wizard
