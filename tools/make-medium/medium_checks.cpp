#include "medium_checks.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "code_pages.h"
#include "lang_file.h"
#include "setup_description.h"
#include "value_rules.h"
#include "member_names.h"
#include "zip_format.h"

namespace medium {

namespace {

const char* const kSetupInf = setupinf::kFileName;

bool Same(const std::string& a, const std::string& b) { return lang::SameTextCp1252(a, b); }

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string KeyLabel(const std::string& section, const std::string& key) { return "[" + section + "] " + key; }

using setupinf::KnownSection;

const KnownSection* FindKnown(const std::string& name) {
  for (const KnownSection& s : setupinf::KnownSections())
    if (Same(s.name, name)) return &s;
  return nullptr;
}

bool KnowsKey(const KnownSection& section, const std::string& key) {
  return std::any_of(section.keys.begin(), section.keys.end(),
                     [&](const std::string& k) { return k == "*" || Same(k, key); });
}

// The value of the first entry of `key` in the first section `section`, as the profile
// services read it (blanks around key and value dropped); nothing when there is none.
std::optional<std::string> ProfileValue(const lang::Language& ini, const std::string& section, const std::string& key) {
  const lang::Section* s = ini.FindSection(section);
  if (!s) return std::nullopt;
  for (const lang::Entry& e : s->entries)
    if (Same(Trimmed(e.key), key)) return Trimmed(e.value);
  return std::nullopt;
}

std::string Value(const lang::Language& ini, const setupinf::Key& key) {
  return ProfileValue(ini, key.section, key.name).value_or(key.fallback);
}

std::string KeyLabel(const setupinf::Key& key) { return KeyLabel(key.section, key.name); }

void CheckSectionsAndKeys(const lang::Language& ini, Findings& findings) {
  std::vector<std::string> seen;
  for (const lang::Section& section : ini.Sections()) {
    const std::string name = Trimmed(section.name);
    if (std::any_of(seen.begin(), seen.end(), [&](const std::string& s) { return Same(s, name); }))
      findings.Warning(kSetupInf, "[" + name + "]", "the section comes twice; setup reads only the first");
    seen.push_back(name);
    if (Same(name, setupinf::kInstalledFiles)) {
      findings.Warning(kSetupInf, "[" + name + "]", "setup writes this section into its copy; leave it out");
      continue;
    }
    const KnownSection* known = FindKnown(name);
    if (!known) {
      findings.Error(kSetupInf, "[" + name + "]", "setup knows no section of this name");
      continue;
    }
    for (const lang::Entry& e : section.entries)
      if (!KnowsKey(*known, Trimmed(e.key)))
        findings.Warning(kSetupInf, KeyLabel(name, Trimmed(e.key)), "setup knows no key of this name here (misspelt?)");
  }
  for (const lang::IgnoredLine& line : ini.IgnoredLines())
    findings.Warning(kSetupInf, "line " + std::to_string(line.number),
                     line.beforeFirstSection ? "stands before the first section and is never read"
                                             : "has no \"=\" and is never read");
}

// A path as setup joins it to the target folder, for looking it up among the payload's names.
std::string PayloadKey(const std::string& value) {
  std::string path = value;
  while (path.compare(0, 2, ".\\") == 0 || path.compare(0, 2, "./") == 0) path.erase(0, 2);
  return FoldedName(path);
}

void CheckPayloadReferences(const lang::Language& ini, const MediumContents& contents, Findings& findings) {
  if (const lang::Section* group = ini.FindSection(setupinf::kGroupEntries)) {
    for (const lang::Entry& e : group->entries) {
      const std::string value = Trimmed(e.value);
      // An empty value links the target folder itself.
      if (!value.empty() && !contents.payload.count(PayloadKey(value)))
        findings.Error(kSetupInf, KeyLabel(setupinf::kGroupEntries, Trimmed(e.key)),
                       "names \"" + value + "\", which is not in the payload");
    }
  }
  const std::string exe = Value(ini, setupinf::kAutostartExe);
  const std::string program = setupinf::AutostartProgram(exe);
  if (!program.empty() && !contents.payload.count(PayloadKey(program)))
    findings.Error(kSetupInf, KeyLabel(setupinf::kAutostartExe),
                   "names the program \"" + program + "\", which is not in the payload");
}

bool IsAbsolute(const std::string& path) {
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) || (path.size() > 1 && path[1] == ':');
}

void CheckPictureKeys(const lang::Language& ini, const MediumContents& contents, Findings& findings) {
  std::vector<setupinf::Key> keys{setupinf::kBackground};
  for (int n = 1; n <= setupinf::kSetupImageCount; ++n) keys.push_back(setupinf::SetupImage(n));
  for (const setupinf::Key& key : keys) {
    const std::string value = Value(ini, key);
    if (value.empty()) continue;
    const std::string label = KeyLabel(key);
    if (IsAbsolute(value)) {
      findings.Warning(kSetupInf, label,
                       "\"" + value + "\" is an absolute path; it must exist on the installing machine");
      continue;
    }
    // Setup runs from the medium's folder, where relative paths are resolved.
    const auto file = contents.rootFiles.find(PayloadKey(value));
    if (file == contents.rootFiles.end()) {
      findings.Error(kSetupInf, label,
                     "names \"" + value + "\", which is not a file of the medium (give it with --picture)");
      continue;
    }
    CheckPicture(value, label, file->second, findings);
  }
}

void CheckLanguageKeys(const lang::Language& ini, const MediumContents& contents, Findings& findings) {
  // firstpage defaults to english.lng: without the file setup starts in German, silently.
  for (const setupinf::Key& key : {setupinf::kFirstPage, setupinf::kLanguage}) {
    const auto value = ProfileValue(ini, key.section, key.name);
    if (value && !contents.rootFiles.count(FoldedName(*value)))
      findings.Warning(kSetupInf, KeyLabel(key),
                       "names \"" + *value + "\", which is not a language file of the medium");
  }
}

// The values setup uses as file names, paths and registry keys stay where they belong: setup
// refuses the medium otherwise, by the same rules.
void CheckPathValues(const lang::Language& ini, Findings& findings) {
  setupinf::PathValues values;
  values.programEntry = Value(ini, setupinf::kProgramEntry);
  values.uninstallEntry = Value(ini, setupinf::kUninstallEntry);
  values.uninstallString = Value(ini, setupinf::kUninstallString);
  values.groupName = Value(ini, setupinf::kGroupName);
  if (const lang::Section* group = ini.FindSection(setupinf::kGroupEntries))
    for (const lang::Entry& e : group->entries) values.groupEntries.emplace_back(Trimmed(e.key), Trimmed(e.value));
  values.autostartExe = Value(ini, setupinf::kAutostartExe);
  values.autostartName = Value(ini, setupinf::kAutostartName);
  for (const setupinf::ValueProblem& problem : setupinf::CheckPathValues(values)) {
    const char* rule =
        problem.rule == setupinf::Rule::PlainFileName ? "a plain file name (no folder, \"..\" or drive)"
        : problem.rule == setupinf::Rule::BelowTarget ? "a path below the target folder (not absolute, no \"..\")"
        : problem.rule == setupinf::Rule::NotEmpty ? "a name below its folder or key (not empty, no drive, no \"..\")"
                                                   : "a name below its folder or key (no drive, no \"..\")";
    findings.Error(kSetupInf, KeyLabel(problem.section, problem.key), "\"" + problem.value + "\" must be " + rule);
  }
}

// Stops at the first problem of a picture.
class PictureBytes {
 public:
  explicit PictureBytes(const std::string& bytes) : b_(bytes) {}
  size_t Size() const { return b_.size(); }
  uint16_t U16(size_t at) const { return at + 2 <= b_.size() ? zipfmt::Get16(Ptr(at)) : 0; }
  uint32_t U32(size_t at) const { return at + 4 <= b_.size() ? zipfmt::Get32(Ptr(at)) : 0; }

 private:
  const uint8_t* Ptr(size_t at) const { return reinterpret_cast<const uint8_t*>(b_.data()) + at; }
  const std::string& b_;
};

const char* BitmapProblem(const PictureBytes& p) {
  if (p.Size() < 26 || p.U16(0) != 0x4D42) return "is no bitmap (no \"BM\" header)";
  const uint32_t header = p.U32(14);
  if (header != 12 && header != 40 && header != 52 && header != 56 && header != 108 && header != 124)
    return "has a bitmap header of unknown size";
  if (p.U32(10) >= p.Size()) return "has its pixels outside the file";
  if (header == 12) return p.U16(22) == 1 ? nullptr : "has a bad plane count";
  const int32_t width = int32_t(p.U32(18)), height = int32_t(p.U32(22));
  const uint16_t bits = p.U16(28);
  if (width <= 0 || height == 0) return "has no pixels";
  if (p.U16(26) != 1) return "has a bad plane count";
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return "has an unknown colour depth";
  return nullptr;
}

const char* IconProblem(const PictureBytes& p) {
  if (p.Size() < 6 || p.U16(0) != 0 || p.U16(2) != 1) return "is no icon (no icon header)";
  const uint16_t count = p.U16(4);
  if (count == 0) return "holds no image";
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 16 * i;
    if (entry + 16 > p.Size()) return "is cut short in its directory";
    const uint64_t size = p.U32(entry + 8), offset = p.U32(entry + 12);
    if (size == 0 || offset + size > p.Size()) return "has an image outside the file";
  }
  return nullptr;
}

const char* MetafileProblem(const PictureBytes& p) {
  // A placeable metafile has a 22-byte header in front of the standard one.
  const size_t at = p.U32(0) == 0x9AC6CDD7u ? 22 : 0;
  const uint16_t type = p.U16(at), headerWords = p.U16(at + 2), version = p.U16(at + 4);
  if (p.Size() < at + 18 || (type != 1 && type != 2) || headerWords != 9 || (version != 0x100 && version != 0x300))
    return "is no Windows metafile (no metafile header)";
  return nullptr;
}

const char* EnhancedMetafileProblem(const PictureBytes& p) {
  if (p.Size() < 88 || p.U32(0) != 1 || p.U32(40) != 0x464D4520u) return "is no enhanced metafile (no EMF header)";
  if (p.U32(48) > p.Size()) return "is shorter than its header says";
  return nullptr;
}

std::string JpegProblem(const std::string& bytes) {
  int width = 0, height = 0, channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), int(bytes.size()), &width, &height,
                            &channels, 3),
      stbi_image_free);
  if (!pixels) return std::string("does not decode as JPEG (") + stbi_failure_reason() + ")";
  return std::string();
}

std::string Extension(const std::string& file) {
  const size_t dot = file.rfind('.');
  const size_t sep = file.find_last_of("\\/");
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return std::string();
  std::string ext = file.substr(dot + 1);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// The language files name the forms Form1 to Form8; "Misc" holds the wizard's keyed texts.
bool IsFormSection(const std::string& name) {
  for (int n = 1; n <= 8; ++n)
    if (Same(name, "Form" + std::to_string(n))) return true;
  return false;
}

}  // namespace

std::optional<std::string> Cp1252FromUtf8(const std::string& utf8) {
  std::string ansi;
  if (!unzip::IsValidUtf8(utf8) || !unzip::TableCodePages().Utf8ToAnsi(utf8, ansi)) return std::nullopt;
  return ansi;
}

std::string FoldedName(const std::string& cp1252Name) {
  std::string folded = unzip::FoldedName(cp1252Name);
  std::replace(folded.begin(), folded.end(), '/', '\\');
  return folded;
}

std::string SetupInfValue(const std::string& text, const std::string& section, const std::string& key,
                          const std::string& defaultValue) {
  return ProfileValue(lang::Language(text, lang::SameTextCp1252), section, key).value_or(defaultValue);
}

void CheckPayloadNames(const std::vector<std::string>& names, std::set<std::string>& payload, Findings& findings) {
  std::map<std::string, std::string> byFolded;  // a folder's name keeps its "\\" at the end
  for (const std::string& entry : names) {
    const bool folder = !entry.empty() && entry.back() == '/';
    const std::string name = folder ? entry.substr(0, entry.size() - 1) : entry;
    const auto ansi = Cp1252FromUtf8(name);
    if (!ansi) {
      findings.Error("payload", name, "the name has characters outside Windows-1252; setup could not record it");
      continue;
    }
    bool valid = true;
    for (size_t start = 0; valid && start <= name.size();) {
      const size_t end = std::min(name.find('/', start), name.size());
      const std::string part = name.substr(start, end - start);
      const std::string ansiPart = Cp1252FromUtf8(part).value_or(part);
      const char* problem =
          part.find('\\') != std::string::npos ? "holds a backslash" : unzip::NamePartProblem(ansiPart);
      if (problem) {
        findings.Error("payload", name, "\"" + part + "\" is no valid Windows name: it " + problem);
        valid = false;
      }
      start = end + 1;
    }
    if (!valid) continue;
    const std::string folded = FoldedName(*ansi);
    const auto [other, added] = byFolded.emplace(folded + (folder ? "\\" : ""), name);
    if (!added)
      findings.Error("payload", name,
                     "differs from \"" + other->second + "\" only in letter case; Windows takes them for one file");
    if (!folder) payload.insert(folded);
  }
  // A file and a folder of one name (but for letter case) cannot both be made.
  for (const auto& [folded, name] : byFolded)
    for (size_t sep = folded.find('\\'); sep != std::string::npos; sep = folded.find('\\', sep + 1))
      if (const auto file = byFolded.find(folded.substr(0, sep)); file != byFolded.end())
        findings.Error("payload", name, "needs a folder named like the file \"" + file->second + "\"");
}

void CheckSetupInf(const std::string& text, const MediumContents& contents, Findings& findings) {
  const lang::Language ini(text, lang::SameTextCp1252);
  CheckSectionsAndKeys(ini, findings);
  CheckPayloadReferences(ini, contents, findings);
  CheckPictureKeys(ini, contents, findings);
  CheckLanguageKeys(ini, contents, findings);
  CheckPathValues(ini, findings);
}

void CheckLanguageFile(const std::string& file, const std::string& text, Findings& findings) {
  if (Extension(file) != "lng") findings.Error(file, "", "setup lists only language files named *.lng");
  if (text.size() > lang::kMaxLanguageFileSize) {
    findings.Error(file, "", "larger than the " + std::to_string(lang::kMaxLanguageFileSize) + " bytes setup reads");
    return;
  }
  if (text.find('\0') != std::string::npos) findings.Error(file, "", "holds a NUL byte; setup reads no further");
  const lang::Language language(text, lang::SameTextCp1252);
  for (const lang::IgnoredLine& line : language.IgnoredLines())
    findings.Error(file, "line " + std::to_string(line.number),
                   line.beforeFirstSection ? "stands before the first section" : "has no \"=\"");
  std::vector<std::string> seen;
  for (const lang::Section& section : language.Sections()) {
    const std::string label = "[" + section.name + "]";
    if (std::any_of(seen.begin(), seen.end(), [&](const std::string& s) { return Same(s, section.name); }))
      findings.Error(file, label, "the section comes twice; setup reads only the first");
    seen.push_back(section.name);
    if (Same(section.name, "Misc")) continue;
    if (!IsFormSection(section.name)) {
      findings.Error(file, label, "names no form: the sections are Form1 to Form8 and Misc");
      continue;
    }
    // Every key of a form section begins with the form's name and a dot.
    for (const lang::Entry& e : section.entries)
      if (e.key.size() <= section.name.size() || !Same(e.key.substr(0, section.name.size()), section.name) ||
          e.key[section.name.size()] != '.')
        findings.Warning(file, label + " " + e.key, "does not begin with \"" + section.name + ".\" and is never read");
  }
}

void CheckPicture(const std::string& file, const std::string& key, const std::string& bytes, Findings& findings) {
  const PictureBytes p(bytes);
  const std::string ext = Extension(file);
  std::string problem;
  if (ext == "bmp") {
    if (const char* why = BitmapProblem(p)) problem = why;
  } else if (ext == "ico") {
    if (const char* why = IconProblem(p)) problem = why;
  } else if (ext == "wmf") {
    if (const char* why = MetafileProblem(p)) problem = why;
  } else if (ext == "emf") {
    if (const char* why = EnhancedMetafileProblem(p)) problem = why;
  } else if (ext == "jpg" || ext == "jpeg") {
    problem = JpegProblem(bytes);
  } else {
    problem = "has an extension setup loads no picture from (bmp, ico, wmf, emf, jpg, jpeg)";
  }
  if (!problem.empty()) findings.Error(file, key, problem);
}

}  // namespace medium
