#include "folder_label.h"

namespace wizard {

namespace {

constexpr size_t kDrivePartLength = 3;
constexpr size_t kRestLimit = 30;     // a rest this long loses its leading folder name
constexpr size_t kLongNameTail = 26;  // characters kept of a last folder name too long
const char* const kEllipsisFolder = "...\\";

bool EndsWithBackslash(const std::string& s) { return !s.empty() && s.back() == '\\'; }

}  // namespace

std::string ShortenFolderLabel(const std::string& path) {
  if (path.empty()) return {};
  std::string s = path;
  if (!EndsWithBackslash(s)) s += '\\';
  if (s.size() <= kLabelWholeLength) return s;

  const std::string head = s.substr(0, kDrivePartLength);
  std::string rest = s.substr(kDrivePartLength);
  while (rest.size() >= kRestLimit) {
    const size_t slash = rest.find('\\');
    // The last folder name (its backslash ends the rest) is never dropped.
    if (slash == std::string::npos || slash + 1 >= rest.size()) break;
    rest.erase(0, slash + 1);
  }
  if (rest.size() >= kRestLimit) rest = "..." + rest.substr(rest.size() - kLongNameTail);
  return head + kEllipsisFolder + rest;
}

std::string JoinFolderAndName(const std::string& folder, const std::string& name) {
  return EndsWithBackslash(folder) ? folder + name : folder + "\\" + name;
}

}  // namespace wizard
