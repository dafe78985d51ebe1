#include "installation_record.h"

#include "install_paths.h"

#include <sstream>
#include <unordered_set>

namespace install {

namespace {

const char kHeader[] = "Talvenor installation record 1";

// Appends the entries of `previous` that `list` lacks and that `keep` accepts.
void AddMissing(std::vector<std::string>& list, const std::vector<std::string>& previous,
                const std::function<bool(const std::string&)>& keep) {
  std::unordered_set<std::string> known;
  for (const std::string& entry : list) known.insert(Folded(entry));
  for (const std::string& entry : previous)
    if (keep(entry) && known.insert(Folded(entry)).second) list.push_back(entry);
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
  if (!IsDriveFolder(target)) return std::nullopt;
  for (const auto* list : {&record.files, &record.folders})
    for (const std::string& path : *list)
      if (!IsBelow(path, target) && !(list == &record.folders && FoldedPrefix(target, path))) return std::nullopt;
  if (!record.setupInf.empty() && !IsBelow(record.setupInf, target)) return std::nullopt;
  return record;
}

InstallationRecord UpdatedFrom(const InstallationRecord& previous, InstallationRecord current,
                               const std::function<bool(const std::string& path)>& exists) {
  if (!SameFolded(previous.target, current.target)) return current;
  std::vector<std::string> files(current.files.begin(), current.files.end() - (current.files.empty() ? 0 : 1));
  AddMissing(files, previous.files,
             [&](const std::string& file) { return !SameFolded(file, current.setupInf) && exists(file); });
  if (!current.files.empty()) files.push_back(current.files.back());
  current.files = std::move(files);
  AddMissing(current.links, previous.links, exists);
  std::vector<std::string> folders = previous.folders;
  AddMissing(folders, current.folders, [](const std::string&) { return true; });
  current.folders = std::move(folders);
  return current;
}

}  // namespace install
