#include "member_names.h"

#include <cstdint>
#include <cstring>

#include "name_conversion.h"

namespace unzip {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Upper case in code page 1252: ASCII, the accented letters and the few pairs in 0x8A-0x9F.
uint8_t Upper1252(uint8_t c) {
  if (c >= 'a' && c <= 'z') return uint8_t(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return uint8_t(c - 32);
  if (c == 0x9A || c == 0x9C || c == 0x9E) return uint8_t(c - 16);
  if (c == 0xFF) return 0x9F;
  return c;
}

uint8_t Folded(char c) {
  if (c == '\\') return '/';
  return Upper1252(uint8_t(c));
}

bool IsDeviceName(const std::string& part) {
  std::string base = part.substr(0, part.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = char(Upper1252(uint8_t(c)));
  static const char* const kPlain[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* device : kPlain)
    if (base == device) return true;
  if (base.size() < 4 || (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0)) return false;
  // Windows also takes the superscript digits one to three as ports, in 1252 (0xB9, 0xB2, 0xB3)
  // and in UTF-8 (0xC2 followed by those).
  std::string digit = base.substr(3);
  if (digit.size() == 2 && uint8_t(digit[0]) == 0xC2) digit.erase(0, 1);
  if (digit.size() != 1) return false;
  const uint8_t d = uint8_t(digit[0]);
  return (d >= '1' && d <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
}

bool MatchesFolded(const char* name, const char* nameEnd, const char* spec, const char* specEnd) {
  // Greedy matching that backtracks only to the last "*": linear in practice, never exponential.
  const char* starSpec = nullptr;
  const char* starName = nullptr;
  while (name != nameEnd) {
    if (spec != specEnd && *spec == '*') {
      starSpec = ++spec;
      starName = name;
    } else if (spec != specEnd && (*spec == '?' || Folded(*spec) == Folded(*name))) {
      ++spec;
      ++name;
    } else if (starSpec != nullptr) {
      spec = starSpec;
      name = ++starName;
    } else {
      return false;
    }
  }
  while (spec != specEnd && *spec == '*') ++spec;
  return spec == specEnd;
}

constexpr uint8_t kHostUnix = 3;

std::string DecodeStored(const zipfmt::ZipNameInfo& stored, const CodePages& codePages, bool& validUtf8) {
  const zipfmt::EntryText name = zipfmt::EntryName(cpAuto, stored);
  validUtf8 = true;
  switch (name.encoding) {
    case zipfmt::TextEncoding::kUtf8:
      validUtf8 = IsValidUtf8(name.text);
      return validUtf8 ? name.text : codePages.AnsiToUtf8(name.text);
    case zipfmt::TextEncoding::kOem: return codePages.OemToUtf8(name.text);
    case zipfmt::TextEncoding::kAnsi: break;
  }
  if (stored.hostSystem == kHostUnix && HasHighBytes(name.text) && IsValidUtf8(name.text)) return name.text;
  return codePages.AnsiToUtf8(name.text);
}

}  // namespace

NameStatus DecodeMemberName(const std::string& stored, const std::string& extraField, uint16_t flags,
                            uint16_t versionMadeBy, const CodePages& codePages, MemberName& name) {
  const zipfmt::ZipNameInfo info{stored, extraField, flags, uint8_t(versionMadeBy >> 8), uint8_t(versionMadeBy)};
  bool validUtf8 = true;
  name.path = DecodeStored(info, codePages, validUtf8);
  const bool inAnsi = codePages.Utf8ToAnsi(name.path, name.shown);
  if (!validUtf8) return NameStatus::kBadUtf8;
  return inAnsi ? NameStatus::kOk : NameStatus::kNotInAnsi;
}

const char* NamePartProblem(const std::string& part) {
  if (part.empty()) return "is empty";
  if (part.back() == '.' || part.back() == ' ') return "ends in a dot or a blank";  // also ".", ".."
  for (char c : part) {
    if (uint8_t(c) < 0x20) return "holds a control character";
    if (std::strchr("<>\"|?*:", c) != nullptr) return "holds one of the characters < > \" | ? * :";
  }
  if (IsDeviceName(part)) return "is a device name";
  return nullptr;
}

bool IsSafeMemberName(const std::string& name) {
  if (name.empty() || IsSeparator(name[0])) return false;  // absolute, UNC, "\\?\"
  size_t start = 0;
  while (start < name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    if (NamePartProblem(name.substr(start, end - start)) != nullptr) return false;
    if (end + 1 == name.size()) break;  // one trailing separator marks a folder
    start = end + 1;
  }
  return true;
}

std::string WithoutDotParts(const std::string& name) {
  std::string out;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    const std::string part = name.substr(start, end - start);
    if (part != ".") out += part + (end < name.size() ? std::string(1, name[end]) : std::string());
    start = end + 1;
  }
  return out;
}

std::string OutputPath(const std::string& name, bool dirNames) {
  std::string path = name;
  for (char& c : path)
    if (c == '\\') c = '/';
  while (!path.empty() && path.back() == '/') path.pop_back();
  if (!dirNames) path.erase(0, path.rfind('/') + 1);  // npos + 1 == 0 keeps a plain name
  return path;
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FoldedName(const std::string& name) {
  std::string folded(name.size(), '\0');
  for (size_t i = 0; i < name.size(); ++i) folded[i] = char(Folded(name[i]));
  return folded;
}

bool MatchesSpec(const std::string& name, const std::string& spec) {
  const char* n = name.data();
  const char* s = spec.data();
  if (MatchesFolded(n, n + name.size(), s, s + spec.size())) return true;
  const size_t len = spec.size();
  return len >= 2 && spec.compare(len - 2, 2, ".*") == 0 && MatchesFolded(n, n + name.size(), s, s + len - 2);
}

bool MatchesAnySpec(const std::string& name, const std::vector<std::string>& specs) {
  for (const std::string& spec : specs)
    if (MatchesSpec(name, spec)) return true;
  return false;
}

}  // namespace unzip
