// Access to INI files (the setup description Setup.inf, setup.ini) through the Windows
// profile-string services, naming the file by its full path at every access. Section and
// key names match without regard to case; a missing file or key gives the default.
#pragma once

#include "setup_description.h"

#include <string>
#include <utility>
#include <vector>

namespace platform {

class ProfileFile {
 public:
  static constexpr size_t kValueBuffer = 2048;  // at most 2047 characters of a value arrive
  static constexpr size_t kKeyListBuffer = 16384;

  explicit ProfileFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
  // A key of the setup description, with the default its readers use.
  std::string Read(const setupinf::Key& key) const { return ReadString(key.section, key.name, key.fallback); }
  // The key names of a section in their order in the file.
  std::vector<std::string> ReadSectionKeys(const std::string& section) const;
  // Every line of a section as key and value (split at the first '='), in file order, read
  // whole however long the section is.
  std::vector<std::pair<std::string, std::string>> ReadSection(const std::string& section) const;
  // Raises Error "nach <path> kann nicht geschrieben werden" when the file cannot be written.
  void WriteString(const std::string& section, const std::string& key, const std::string& value) const;
  // Replaces the whole section with these lines in one write of the file; raises as
  // WriteString does.
  void WriteSection(const std::string& section, const std::vector<std::pair<std::string, std::string>>& lines) const;

 private:
  std::string path_;
};

}  // namespace platform
