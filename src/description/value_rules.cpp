#include "value_rules.h"

#include "setup_description.h"

namespace setupinf {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A ".." (or ".") part of its own anywhere in the path; "a..b" is a name, not a part.
bool HasDotPart(const std::string& path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string part = path.substr(start, end - start);
    if (part == ".." || part == ".") return true;
    start = end + 1;
  }
  return false;
}

// "C:", "C:\x", "\\server\share" or a device path: not below anything of ours.
bool NamesDriveOrShare(const std::string& path) {
  return path.find(':') != std::string::npos || (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]));
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:") == std::string::npos;
}

bool StaysBelow(const std::string& relativePath) {
  return !(relativePath.size() >= 1 && IsSeparator(relativePath[0])) && !NamesDriveOrShare(relativePath) &&
         !HasDotPart(relativePath);
}

bool StaysBelowKnownPlace(const std::string& path) { return !NamesDriveOrShare(path) && !HasDotPart(path); }

bool IsAbsoluteFolderPath(const std::string& path) {
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && path[2] == '\\') return true;
  if (path.compare(0, 2, "\\\\") != 0) return false;
  const size_t shareStart = path.find('\\', 2);
  return shareStart != std::string::npos && shareStart > 2 && shareStart + 1 < path.size() &&
         path[shareStart + 1] != '\\';
}

std::string AutostartProgram(const std::string& exeString) { return exeString.substr(0, exeString.find(' ')); }

std::vector<ValueProblem> CheckPathValues(const PathValues& values) {
  std::vector<ValueProblem> problems;
  const auto check = [&](bool ok, const Key& key, const std::string& value, Rule rule) {
    if (!ok) problems.push_back({key.section, key.name, value, rule});
  };
  const std::string entry = values.programEntry;
  check(StaysBelowKnownPlace(entry) && entry.find_first_not_of('\\') != std::string::npos, kProgramEntry, entry,
        Rule::NotEmpty);
  check(StaysBelowKnownPlace(values.uninstallEntry) && !values.uninstallEntry.empty(), kUninstallEntry,
        values.uninstallEntry, Rule::NotEmpty);
  check(IsPlainFileName(values.uninstallString), kUninstallString, values.uninstallString, Rule::PlainFileName);
  check(StaysBelowKnownPlace(values.groupName), kGroupName, values.groupName, Rule::BelowKnownPlace);
  for (const auto& [name, program] : values.groupEntries) {
    if (!IsPlainFileName(name)) problems.push_back({kGroupEntries, name, name, Rule::PlainFileName});
    if (!StaysBelow(program)) problems.push_back({kGroupEntries, name, program, Rule::BelowTarget});
  }
  // Without a program no Startup link is written, so its name does not matter either.
  if (!values.autostartExe.empty()) {
    check(StaysBelow(AutostartProgram(values.autostartExe)), kAutostartExe, values.autostartExe, Rule::BelowTarget);
    check(IsPlainFileName(values.autostartName), kAutostartName, values.autostartName, Rule::PlainFileName);
  }
  return problems;
}

}  // namespace setupinf
