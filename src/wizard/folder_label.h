// Texts of the target folder as the wizard and the folder dialog show them.
#pragma once

#include <string>

namespace wizard {

// Longest path, trailing backslash included, that the folder page's label shows whole.
constexpr size_t kLabelWholeLength = 29;

// The folder page's label for a chosen path. The path gets a trailing backslash; one of up to
// 29 characters is shown whole. A longer one keeps its first three characters (the drive part,
// "C:\"), then "...\", then what is left after dropping leading folder names one at a time
// while 30 or more characters remain. When the last folder name alone (with its backslash)
// still has 30 or more characters, only its last 26 appear, after "...". So a label never
// exceeds 36 characters. An empty path gives an empty label.
std::string ShortenFolderLabel(const std::string& path);

// The path edit of the folder dialog: the folder, a backslash unless the folder already ends
// in one (a drive root), and the program's folder name.
std::string JoinFolderAndName(const std::string& folder, const std::string& name);

}  // namespace wizard
