#include "lang_file.h"

namespace lang {

const char kNoEntry[] = "fsdef";

namespace {

// Lower case of a code page 1252 byte.
unsigned char FoldCp1252(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A: return 0x9A;  // Š
    case 0x8C: return 0x9C;  // Œ
    case 0x8E: return 0x9E;  // Ž
    case 0x9F: return 0xFF;  // Ÿ
    default: return c;
  }
}

bool IsSectionLine(std::string_view line) { return line.size() >= 2 && line.front() == '[' && line.back() == ']'; }

}  // namespace

void Language::AddLine(std::string_view line, int number) {
  if (line.empty() || line.front() == ';') return;
  if (IsSectionLine(line)) {
    sections_.push_back(Section{std::string(line.substr(1, line.size() - 2)), {}});
    return;
  }
  const size_t eq = line.find('=');
  if (sections_.empty() || eq == std::string_view::npos) {
    ignored_.push_back(IgnoredLine{number, std::string(line), sections_.empty()});
    return;
  }
  sections_.back().entries.push_back(Entry{std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))});
}

std::string KeyCp1252(const std::string& text) {
  std::string key = text;
  for (char& c : key) c = static_cast<char>(FoldCp1252(static_cast<unsigned char>(c)));
  return key;
}

void TextIndex::Add(std::string key) {
  const uint32_t place = uint32_t(next_.size());
  next_.push_back(kEnd);
  const auto added = groups_.try_emplace(std::move(key), Group{place, place});
  if (added.second) return;
  Group& group = added.first->second;
  next_[group.last] = place;
  group.last = place;
}

bool SameTextCp1252(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCp1252(static_cast<unsigned char>(a[i])) != FoldCp1252(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

Language::Language(std::string_view text, SameTextFn sameText, TextKeyFn textKey)
    : sameText_(sameText), textKey_(textKey) {
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  size_t start = 0;
  int number = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    AddLine(text.substr(start, end - start), ++number);
    start = end;
    if (start < text.size()) {
      // CR LF ends one line; a lone CR or LF ends one as well.
      if (text[start] == '\r' && start + 1 < text.size() && text[start + 1] == '\n') ++start;
      ++start;
    }
  }
  BuildIndexes();
}

void Language::BuildIndexes() {
  entryIndexes_.resize(sections_.size());
  for (size_t s = 0; s < sections_.size(); ++s) {
    sectionIndex_.Add(textKey_(sections_[s].name));
    for (const Entry& e : sections_[s].entries) entryIndexes_[s].Add(textKey_(e.key));
  }
}

const Section* Language::FindSection(const std::string& name) const {
  const size_t s = sectionIndex_.Find(textKey_(name), [&](size_t i) { return sameText_(sections_[i].name, name); });
  return s == TextIndex::kNone ? nullptr : &sections_[s];
}

std::string Language::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  return ReadString(FindSection(section), key, defaultValue);
}

std::string Language::ReadString(const Section* section, const std::string& key,
                                 const std::string& defaultValue) const {
  if (!section) return defaultValue;
  const std::vector<Entry>& entries = section->entries;
  const size_t e = entryIndexes_[size_t(section - sections_.data())].Find(
      textKey_(key), [&](size_t i) { return sameText_(entries[i].key, key); });
  return e == TextIndex::kNone ? defaultValue : entries[e].value;
}

std::string ExpandLineBreaks(const std::string& value) {
  static const std::string kMarker = "*|*";
  std::string out;
  size_t start = 0;
  for (size_t at = value.find(kMarker); at != std::string::npos; at = value.find(kMarker, start)) {
    out.append(value, start, at - start);
    out += "\r\n";
    start = at + kMarker.size();
  }
  out.append(value, start, std::string::npos);
  return out;
}

std::string MiscText(const Language* language, const std::string& defaultText, const std::string& key) {
  if (!language) return defaultText;
  return ExpandLineBreaks(language->ReadString("Misc", key, ""));
}

std::string FormCaptionKey(const std::string& form) { return form + ".Caption"; }

std::string PropertyKey(const std::string& form, const std::string& component, const std::string& property) {
  return form + "." + component + "." + property;
}

std::string LineKey(const std::string& form, const std::string& component, int index) {
  return form + "." + component + ".lines[" + std::to_string(index) + "]";
}

std::string CellKey(const std::string& form, const std::string& component, int col, int row) {
  return form + "." + component + ".cells[" + std::to_string(col) + "," + std::to_string(row) + "]";
}

std::string ItemKey(const std::string& form, const std::string& component, int index) {
  return form + "." + component + ".items[" + std::to_string(index) + "]";
}

}  // namespace lang
