#include "installed_files.h"

#include "setup_description.h"

#include <map>

namespace install {

namespace {

// Profile keys match without regard to case; the keys written here are plain ASCII.
std::string FoldCase(std::string key) {
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return key;
}

}  // namespace

ProfileLines InstalledFilesSection(const ProfileLines& existing, const std::vector<std::string>& files,
                                   const std::string& copyPath) {
  ProfileLines lines = existing;
  std::map<std::string, size_t> place;
  for (size_t i = lines.size(); i-- > 0;) place[FoldCase(lines[i].first)] = i;  // the first of a key wins
  const auto write = [&](const std::string& key, const std::string& value) {
    const auto found = place.find(FoldCase(key));
    if (found != place.end()) {
      lines[found->second].second = value;
      return;
    }
    place.emplace(FoldCase(key), lines.size());
    lines.emplace_back(key, value);
  };
  write(setupinf::kInstalledFilesCount, std::to_string(files.size() + 1));
  for (size_t i = 0; i < files.size(); ++i) write(std::to_string(i), files[i]);
  write(std::to_string(files.size()), copyPath);
  return lines;
}

}  // namespace install
