#include "install_paths.h"

namespace install {

namespace {

char Fold(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

}  // namespace

std::string Folded(std::string path) {
  for (char& c : path) c = Fold(c);
  return path;
}

bool FoldedPrefix(const std::string& path, const std::string& prefix) {
  if (path.size() <= prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (Fold(path[i]) != Fold(prefix[i])) return false;
  return true;
}

bool SameFolded(const std::string& a, const std::string& b) { return Folded(a) == Folded(b); }

bool HasDotParts(const std::string& path) {
  const std::string wrapped = "\\" + path + "\\";
  return wrapped.find("\\.\\") != std::string::npos || wrapped.find("\\..\\") != std::string::npos;
}

bool IsBelow(const std::string& path, const std::string& folder) {
  return FoldedPrefix(path, folder) && !HasDotParts(path);
}

bool IsOnTheWayTo(const std::string& folder, const std::string& target) {
  return SameFolded(folder + "\\", target) || FoldedPrefix(target, folder + "\\");
}

bool IsDriveFolder(const std::string& folder) {
  return folder.size() >= 4 && folder[1] == ':' && folder[2] == '\\' && folder.back() == '\\' &&
         !HasDotParts(folder.substr(0, folder.size() - 1));
}

}  // namespace install
