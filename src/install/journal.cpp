#include "journal.h"

#include "install_paths.h"
#include "setup_description.h"
#include "value_rules.h"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>

namespace install {

namespace {

using Kind = JournalEntry::Kind;

const char kHeader[] = "Talvenor setup journal 1";

const struct {
  Kind kind;
  const char* name;
} kKindNames[] = {{Kind::Folder, "folder"}, {Kind::File, "file"},     {Kind::Saved, "saved"},
                  {Kind::Key, "key"},       {Kind::Value, "value"},   {Kind::NoValue, "novalue"},
                  {Kind::Aside, "aside"},   {Kind::Member, "member"}, {Kind::MemberFolder, "memberfolder"},
                  {Kind::Commit, "commit"}};

std::string Checksum(const std::string& text) {
  const uLong crc = ::crc32(::crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(text.data()), uInt(text.size()));
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08lx", static_cast<unsigned long>(crc & 0xFFFFFFFFu));
  return hex;
}

std::string Line(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& field : fields) {
    if (field.find_first_of("\t\r\n") != std::string::npos)
      throw std::invalid_argument("a journal field holds a tab or a line break: " + field);
    line += (line.empty() ? "" : "\t") + field;
  }
  return line + "\t" + Checksum(line) + "\r\n";
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char c : bytes) hex += {kDigits[c >> 4], kDigits[c & 15]};
  return hex;
}

std::optional<std::string> FromHex(const std::string& hex) {
  const auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; };
  if (hex.size() % 2) return std::nullopt;
  std::string bytes;
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]), low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += char(high * 16 + low);
  }
  return bytes;
}

std::vector<std::string> Fields(const JournalEntry& e) {
  std::vector<std::string> fields;
  for (const auto& known : kKindNames)
    if (known.kind == e.kind) fields.push_back(known.name);
  switch (e.kind) {
    case Kind::Saved: return {fields[0], e.path, e.other};
    case Kind::Value: return {fields[0], e.path, e.other, std::to_string(e.type), Hex(e.data)};
    case Kind::NoValue: return {fields[0], e.path, e.other};
    case Kind::Member:
      return e.other.empty() ? std::vector<std::string>{fields[0], e.path, "new"}
                             : std::vector<std::string>{fields[0], e.path, "old", e.other};
    case Kind::Commit: return fields;
    default: return {fields[0], e.path};
  }
}

// The fields of one record (without the checksum) as an entry.
std::optional<JournalEntry> Entry(const std::vector<std::string>& f) {
  JournalEntry e;
  bool known = false;
  for (const auto& k : kKindNames) {
    if (f[0] != k.name) continue;
    e.kind = k.kind;
    known = true;
  }
  if (!known) return std::nullopt;
  const size_t n = f.size();
  switch (e.kind) {
    case Kind::Commit: return n == 1 ? std::optional<JournalEntry>(e) : std::nullopt;
    case Kind::Saved:
    case Kind::NoValue:
      if (n != 3) return std::nullopt;
      e.other = f[2];
      break;
    case Kind::Value: {
      const auto data = n == 5 ? FromHex(f[4]) : std::nullopt;
      if (!data || f[3].empty() || f[3].find_first_not_of("0123456789") != std::string::npos || f[3].size() > 10)
        return std::nullopt;
      e.other = f[2];
      e.type = uint32_t(std::stoul(f[3]));
      e.data = *data;
      break;
    }
    case Kind::Member:
      if (!((n == 3 && f[2] == "new") || (n == 4 && f[2] == "old" && !f[3].empty()))) return std::nullopt;
      if (n == 4) e.other = f[3];
      break;
    default:
      if (n != 2) return std::nullopt;
  }
  e.path = f[1];
  return e.path.empty() ? std::nullopt : std::optional<JournalEntry>(e);
}

// The fields of a line whose checksum is right; nothing otherwise.
std::optional<std::vector<std::string>> CheckedFields(const std::string& line) {
  const size_t tab = line.rfind('\t');
  if (tab == std::string::npos || Checksum(line.substr(0, tab)) != line.substr(tab + 1)) return std::nullopt;
  return Split(line.substr(0, tab));
}

std::string WithoutLeadingBackslash(const std::string& key) {
  return key.empty() || key[0] != '\\' ? key : key.substr(1);
}

// A key that is `key` or a level above it (never the empty root).
bool KeyOrAbove(const std::string& candidate, const std::string& key) {
  return !candidate.empty() && (SameFolded(candidate, key) || FoldedPrefix(key, candidate + "\\"));
}

class PlaceCheck {
 public:
  PlaceCheck(const Journal& journal, const JournalPlaces& places)
      : journal_(journal),
        places_(places),
        programKey_(WithoutLeadingBackslash(places.programEntry)),
        uninstallKey_(UninstallKey(places.uninstallEntry)) {}

  bool Passes() {
    if (!SameFolded(journal_.uninstallEntry, places_.uninstallEntry) ||
        !SameFolded(WithoutLeadingBackslash(journal_.programEntry), programKey_) || !IsDriveFolder(journal_.target))
      return false;
    for (const JournalEntry& e : journal_.entries)
      if (!Passes(e)) return false;
    return true;
  }

 private:
  bool Passes(const JournalEntry& e) {
    switch (e.kind) {
      case Kind::Folder:
        return IsOnTheWayTo(e.path, journal_.target) || BelowLinkFolder(e.path) || IsStoreLevel(e.path, places_.store);
      case Kind::File: return InstallationFile(e.path);
      case Kind::Saved:
        return InstallationFile(e.path) && (IsBelow(e.other, aside_) || IsBelow(e.other, places_.store));
      case Kind::Key:
        return KeyOrAbove(e.path, programKey_) ||
               (KeyOrAbove(e.path, uninstallKey_) && FoldedPrefix(e.path, UninstallKey("")));
      case Kind::Value:
      case Kind::NoValue: return SameFolded(e.path, programKey_) || SameFolded(e.path, uninstallKey_);
      case Kind::Aside:
        aside_ = e.path;
        return IsBelow(e.path, journal_.target + kAsidePrefix) && e.path.back() == '\\' &&
               e.path.find('\\', journal_.target.size()) == e.path.size() - 1;
      case Kind::Member:
        return setupinf::StaysBelow(e.path) && (e.other.empty() || (setupinf::StaysBelow(e.other) && aside_ != "\\"));
      case Kind::MemberFolder: return setupinf::StaysBelow(e.path);
      case Kind::Commit: return true;
    }
    return false;
  }

  // Below the target folder, the uninstaller directly in the Windows folder, or a link.
  bool InstallationFile(const std::string& path) const {
    if (IsBelow(path, journal_.target)) return true;
    if (IsBelow(path, places_.windowsFolder))
      return setupinf::IsPlainFileName(path.substr(places_.windowsFolder.size()));
    const std::string ending = ".lnk";
    return BelowLinkFolder(path) && path.size() > ending.size() &&
           SameFolded(path.substr(path.size() - ending.size()), ending);
  }

  bool BelowLinkFolder(const std::string& path) const {
    for (const std::string& folder : places_.linkFolders)
      if (!folder.empty() && IsBelow(path, folder)) return true;
    return false;
  }

  const Journal& journal_;
  const JournalPlaces& places_;
  const std::string programKey_, uninstallKey_;
  std::string aside_ = "\\";  // none yet: below it lies nothing
};

}  // namespace

const char kAsidePrefix[] = "~Talvenor-Rollback-";

std::string JournalStart(const Journal& journal) {
  return std::string(kHeader) + "\r\n" + Line({"run", journal.uninstallEntry, journal.programEntry, journal.target});
}

std::string JournalRecord(const JournalEntry& entry) { return Line(Fields(entry)); }

std::optional<Journal> ParseJournal(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  // What follows the last line break is a record whose writing was cut short.
  if (lines.size() < 2 || lines[0] != kHeader) return std::nullopt;
  const auto run = CheckedFields(lines[1]);
  if (!run || run->size() != 4 || (*run)[0] != "run") return std::nullopt;
  Journal journal{(*run)[1], (*run)[2], (*run)[3], {}};
  for (size_t i = 2; i < lines.size(); ++i) {
    const auto fields = CheckedFields(lines[i]);
    const auto entry = fields ? Entry(*fields) : std::nullopt;
    if (!entry || journal.Committed()) return std::nullopt;
    journal.entries.push_back(*entry);
  }
  return journal;
}

bool StaysInPlaces(const Journal& journal, const JournalPlaces& places) { return PlaceCheck(journal, places).Passes(); }

bool IsStoreLevel(const std::string& folder, const std::string& store) {
  const std::string level = folder + "\\";
  return SameFolded(level, store) || (FoldedPrefix(store, level) && store.find('\\', level.size()) == store.size() - 1);
}

std::string UninstallKey(const std::string& uninstallEntry) {
  return WithoutLeadingBackslash(setupreg::kUninstallRoot) + uninstallEntry;
}

}  // namespace install
