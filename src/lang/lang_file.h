// Language files (".lng"): INI-form text read whole into memory, looked up by section and key.
// Portable: the bytes come from the caller, and the comparison of section names and keys is
// injected (the Windows build compares as the user's locale does, ignoring case).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lang {

// Compares two texts without regard to case.
using SameTextFn = bool (*)(const std::string& a, const std::string& b);

// A key under which lookups find a text: texts that the comparison finds equal must have
// equal keys (texts with equal keys need not be equal).
using TextKeyFn = std::string (*)(const std::string& text);

// Case folding of code page 1252 (ASCII letters, accented Latin letters, Š Œ Ž Ÿ): the
// comparison of the native build and of the tests, and its key (the folded text).
bool SameTextCp1252(const std::string& a, const std::string& b);
std::string KeyCp1252(const std::string& text);

// Language files are a few kilobytes; a larger file than this is refused before reading, so
// that a hostile file cannot take up memory without bounds.
constexpr std::size_t kMaxLanguageFileSize = 1024u * 1024u;

// The texts of a list grouped by key, each group in list order: finding the first text that
// matches takes the time of its group, not of the list.
class TextIndex {
 public:
  static constexpr size_t kNone = SIZE_MAX;

  // The key of the list's next text.
  void Add(std::string key);
  // The first text (its place in the list) with that key for which `matches(place)` holds;
  // kNone when there is none.
  template <typename Matches>
  size_t Find(const std::string& key, const Matches& matches) const {
    const auto group = groups_.find(key);
    if (group == groups_.end()) return kNone;
    for (uint32_t i = group->second.first; i != kEnd; i = next_[i])
      if (matches(size_t(i))) return i;
    return kNone;
  }

 private:
  static constexpr uint32_t kEnd = UINT32_MAX;
  struct Group {
    uint32_t first;
    uint32_t last;
  };
  std::unordered_map<std::string, Group> groups_;
  std::vector<uint32_t> next_;  // the next text of the same group, per text
};

// The line before the first "=" and the text after it, both verbatim.
struct Entry {
  std::string key;
  std::string value;
};

struct Section {
  std::string name;            // between the brackets, blanks included
  std::vector<Entry> entries;  // in file order; lines without "=" are left out (they never match)
};

// A line that no lookup can ever find: one before the first section, or one without "=".
struct IgnoredLine {
  int number = 0;  // from 1
  std::string text;
  bool beforeFirstSection = false;
};

class Language {
 public:
  // Splits the text into lines (CR LF, lone CR and lone LF end a line; a NUL byte ends the
  // text), skips empty lines and lines beginning with ";", opens a section at every line
  // "[...]" and drops the lines before the first section. Names and keys match as `sameText`
  // says; `textKey` (which must suit it) indexes them once, so that a lookup does not grow
  // with the number of sections and entries.
  Language(std::string_view text, SameTextFn sameText, TextKeyFn textKey = &KeyCp1252);

  // The first section of that name, or nullptr.
  const Section* FindSection(const std::string& name) const;
  // The value of the first entry whose key matches in the first section of that name;
  // `defaultValue` when there is none.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
  // The same within a section that FindSection of this language gave (nullptr: no section).
  std::string ReadString(const Section* section, const std::string& key, const std::string& defaultValue) const;

  const std::vector<Section>& Sections() const { return sections_; }
  const std::vector<IgnoredLine>& IgnoredLines() const { return ignored_; }

 private:
  void AddLine(std::string_view line, int number);
  void BuildIndexes();

  std::vector<Section> sections_;
  std::vector<IgnoredLine> ignored_;
  SameTextFn sameText_;
  TextKeyFn textKey_;
  TextIndex sectionIndex_;
  std::vector<TextIndex> entryIndexes_;  // one per section
};

// The value of a wizard text: "*|*" stands for a line break (CR LF).
std::string ExpandLineBreaks(const std::string& value);

// The wizard's keyed text: the default without a language, else the key of section "Misc"
// (empty when missing) with its line breaks expanded.
std::string MiscText(const Language* language, const std::string& defaultText, const std::string& key);

// The keys of a form section: every key begins with the form's name.
std::string FormCaptionKey(const std::string& form);
std::string PropertyKey(const std::string& form, const std::string& component, const std::string& property);
std::string LineKey(const std::string& form, const std::string& component, int index);
std::string CellKey(const std::string& form, const std::string& component, int col, int row);
std::string ItemKey(const std::string& form, const std::string& component, int index);

// Reads of lines and cells default to this marker, so that an empty value can blank a line
// while a missing entry leaves it alone. Compared exactly, with case.
extern const char kNoEntry[];

}  // namespace lang
