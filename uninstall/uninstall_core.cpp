#include "uninstall_core.h"

#include <algorithm>
#include <map>

namespace uninstall {

namespace {

// A decimal number without sign or leading zeros that fits in a long long.
std::optional<long long> ParseNumber(const std::string& text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  if (text.size() > 1 && text[0] == '0') return std::nullopt;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::vector<std::string> Segments(const std::string& path) {
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) segments.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return segments;
}

const char* ReasonText(Reason reason) {
  switch (reason) {
    case Reason::OutsideTarget: return "liegt außerhalb des Installationsordners";
    case Reason::DeleteFailed: return "konnte nicht gelöscht werden";
    case Reason::NotOurs: return "gehört nicht zu dieser Installation";
    case Reason::NotRecorded: return "wurde nicht von Setup installiert";
  }
  return "";
}

// Whether `arg` is `name` ("/quiet", "/log") in any letter case.
bool IsSwitch(const std::string& arg, const std::string& name) {
  if (arg.size() != name.size()) return false;
  for (size_t i = 0; i < arg.size(); ++i) {
    const char c = arg[i];
    const char lower = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    if (lower != name[i]) return false;
  }
  return true;
}

}  // namespace

bool IsQuietSwitch(const std::string& arg) { return IsSwitch(arg, "/quiet"); }

std::optional<Options> ParseArguments(const std::vector<std::string>& args) {
  Options options;
  bool havePath = false;
  for (const std::string& arg : args) {
    const size_t equals = arg.find('=');
    const bool logSwitch = IsSwitch(arg.substr(0, equals), "/log");
    const std::string value = equals == std::string::npos ? std::string() : arg.substr(equals + 1);
    if (IsQuietSwitch(arg)) {
      options.quiet = true;
    } else if (logSwitch && !options.log && (equals == std::string::npos || !value.empty())) {
      options.log = true;
      options.logFile = value;
    } else if (havePath || arg.empty() || arg[0] == '/') {
      return std::nullopt;
    } else {
      options.setupInf = arg;
      havePath = true;
    }
  }
  if (!havePath) return std::nullopt;
  return options;
}

std::vector<std::string> ListedFiles(const std::vector<std::pair<std::string, std::string>>& section) {
  std::optional<long long> count;
  std::map<long long, std::string> entries;
  for (const auto& [key, value] : section) {
    if (key.size() == 5 && std::equal(key.begin(), key.end(), "count", [](char a, char b) {
          return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
        })) {
      if (!count) count = ParseNumber(value).value_or(0);
      continue;
    }
    const auto number = ParseNumber(key);
    if (number && !value.empty()) entries.emplace(*number, value);
  }
  std::vector<std::string> files;
  for (const auto& [number, path] : entries) {
    if (count && number < *count) files.push_back(path);
  }
  return files;
}

bool HasUnresolvedSegments(const std::string& path) {
  if (path.find('/') != std::string::npos) return true;
  for (const std::string& s : Segments(path)) {
    if (s == "." || s == "..") return true;
  }
  return false;
}

std::vector<std::string> FolderLevels(const std::string& relativeFolder) {
  const std::vector<std::string> segments = Segments(relativeFolder);
  for (const std::string& s : segments) {
    if (s == "." || s == ".." || s.find(':') != std::string::npos) return {};
  }
  std::vector<std::string> levels;
  std::string path;
  for (const std::string& s : segments) {
    path += (path.empty() ? "" : "\\") + s;
    levels.push_back(path);
  }
  std::reverse(levels.begin(), levels.end());
  return levels;
}

std::vector<std::string> FoldersToRemove(const std::vector<std::string>& relativeFiles) {
  std::vector<std::pair<size_t, std::string>> byDepth;
  for (const std::string& file : relativeFiles) {
    const size_t slash = file.find_last_of('\\');
    if (slash == std::string::npos) continue;
    for (const std::string& level : FolderLevels(file.substr(0, slash))) {
      const size_t depth = size_t(std::count(level.begin(), level.end(), '\\'));
      byDepth.emplace_back(depth, level);
    }
  }
  std::sort(byDepth.begin(), byDepth.end(),
            [](const auto& a, const auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
  byDepth.erase(std::unique(byDepth.begin(), byDepth.end()), byDepth.end());
  std::vector<std::string> folders;
  for (auto& entry : byDepth) folders.push_back(std::move(entry.second));
  return folders;
}

std::string LastQuotedField(const std::string& commandLine) {
  const size_t close = commandLine.find_last_of('"');
  if (close == std::string::npos || close == 0) return {};
  const size_t open = commandLine.find_last_of('"', close - 1);
  if (open == std::string::npos) return {};
  return commandLine.substr(open + 1, close - open - 1);
}

std::string LeftoverLine(const Leftover& leftover) { return leftover.item + ": " + ReasonText(leftover.reason); }

std::string ReportText(const std::string& product, const std::vector<Leftover>& leftovers,
                       const std::string& keptTargetFolder) {
  std::string text;
  if (leftovers.empty()) {
    text = product + " wurde vollständig entfernt.";
  } else {
    text = "Folgendes konnte nicht entfernt werden:\n";
    for (size_t i = 0; i < leftovers.size() && i < kMaxReportedItems; ++i) {
      text += "\n" + leftovers[i].item + "\n    " + ReasonText(leftovers[i].reason);
    }
    if (leftovers.size() > kMaxReportedItems) {
      text += "\n\n... und " + std::to_string(leftovers.size() - kMaxReportedItems) + " weitere";
    }
  }
  if (!keptTargetFolder.empty()) {
    text += "\n\nDer Ordner " + keptTargetFolder + " enthält noch weitere Dateien und wurde nicht entfernt.";
  }
  return text;
}

}  // namespace uninstall
