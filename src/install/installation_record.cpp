#include "installation_record.h"

#include <sstream>

namespace install {

namespace {

const char kHeader[] = "Talvenor installation record 1";

bool FoldedPrefix(const std::string& path, const std::string& prefix) {
  if (path.size() <= prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    const auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
    if (fold(path[i]) != fold(prefix[i])) return false;
  }
  return true;
}

bool HasDotDotPart(const std::string& path) {
  return path.find("\\..\\") != std::string::npos || path.find("\\.\\") != std::string::npos ||
         (path.size() >= 3 && path.compare(path.size() - 3, 3, "\\..") == 0);
}

// A file the record may name: strictly below the target folder, without "." or ".." parts.
bool BelowTarget(const std::string& path, const std::string& target) {
  return FoldedPrefix(path, target) && !HasDotDotPart(path);
}

}  // namespace

std::string InstallationRecord::Serialize() const {
  std::string text = std::string(kHeader) + "\r\n";
  const auto line = [&](const char* kind, const std::string& value) {
    text += std::string(kind) + "\t" + value + "\r\n";
  };
  line("target", target);
  line("setupinf", setupInf);
  line("programentry", programEntry);
  line("uninstallentry", uninstallEntry);
  line("uninstaller", uninstaller);
  for (const std::string& folder : folders) line("folder", folder);
  for (const std::string& file : files) line("file", file);
  for (const std::string& link : links) line("link", link);
  return text;
}

std::optional<InstallationRecord> InstallationRecord::Parse(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) ||
      (!line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line) != kHeader)
    return std::nullopt;
  InstallationRecord record;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab + 1 == line.size()) return std::nullopt;
    const std::string kind = line.substr(0, tab), value = line.substr(tab + 1);
    if (kind == "target")
      record.target = value;
    else if (kind == "setupinf")
      record.setupInf = value;
    else if (kind == "programentry")
      record.programEntry = value;
    else if (kind == "uninstallentry")
      record.uninstallEntry = value;
    else if (kind == "uninstaller")
      record.uninstaller = value;
    else if (kind == "folder")
      record.folders.push_back(value);
    else if (kind == "file")
      record.files.push_back(value);
    else if (kind == "link")
      record.links.push_back(value);
    else
      return std::nullopt;
  }
  // The target is an absolute folder; everything the record deletes inside it lies below it.
  const std::string& target = record.target;
  if (target.size() < 4 || target.back() != '\\' || target[1] != ':' || HasDotDotPart(target)) return std::nullopt;
  for (const auto* list : {&record.files, &record.folders})
    for (const std::string& path : *list)
      if (!BelowTarget(path, target) && !(list == &record.folders && FoldedPrefix(target, path))) return std::nullopt;
  if (!record.setupInf.empty() && !BelowTarget(record.setupInf, target)) return std::nullopt;
  return record;
}

}  // namespace install
