#include "profile.h"

#include "error.h"

#include <windows.h>

namespace platform {

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) const {
  char buffer[kValueBuffer];
  const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                             DWORD(sizeof buffer), path_.c_str());
  return std::string(buffer, n);
}

std::vector<std::string> ProfileFile::ReadSectionKeys(const std::string& section) const {
  std::vector<char> buffer(kKeyListBuffer, '\0');
  const DWORD n =
      ::GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(), DWORD(buffer.size()), path_.c_str());
  std::vector<std::string> keys;
  for (DWORD i = 0; i < n;) {
    std::string key(buffer.data() + i);
    if (key.empty()) break;
    i += DWORD(key.size() + 1);
    keys.push_back(std::move(key));
  }
  return keys;
}

std::vector<std::pair<std::string, std::string>> ProfileFile::ReadSection(const std::string& section) const {
  // The service reports a buffer that was too small by returning its size less two.
  std::vector<char> buffer(kKeyListBuffer, '\0');
  DWORD n = 0;
  for (;;) {
    n = ::GetPrivateProfileSectionA(section.c_str(), buffer.data(), DWORD(buffer.size()), path_.c_str());
    if (n + 2 < buffer.size() || buffer.size() >= (DWORD(1) << 30)) break;
    buffer.assign(buffer.size() * 2, '\0');
  }
  std::vector<std::pair<std::string, std::string>> lines;
  for (DWORD i = 0; i < n && buffer[i] != '\0';) {
    const std::string line(buffer.data() + i);
    i += DWORD(line.size() + 1);
    const size_t eq = line.find('=');
    if (eq == std::string::npos)
      lines.emplace_back(line, std::string());
    else
      lines.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return lines;
}

void ProfileFile::WriteString(const std::string& section, const std::string& key, const std::string& value) const {
  if (!::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()))
    throw Error(FormatText("nach %s kann nicht geschrieben werden", path_));
}

void ProfileFile::WriteSection(const std::string& section,
                               const std::vector<std::pair<std::string, std::string>>& lines) const {
  // "key=value" lines, each ended by a NUL, and one NUL more at the end.
  std::string block;
  for (const auto& line : lines) {
    block += line.first + "=" + line.second;
    block += '\0';
  }
  block += '\0';
  if (!::WritePrivateProfileSectionA(section.c_str(), block.c_str(), path_.c_str()))
    throw Error(FormatText("nach %s kann nicht geschrieben werden", path_));
}

}  // namespace platform
