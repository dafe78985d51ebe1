// Language files (".lng"): INI-form text read whole into memory, looked up by section and key.
// Portable: the bytes come from the caller, and the comparison of section names and keys is
// injected (the Windows build compares as the user's locale does, ignoring case).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lang {

// Compares two texts without regard to case.
using SameTextFn = bool (*)(const std::string& a, const std::string& b);

// Case folding of code page 1252 (ASCII letters, accented Latin letters, Š Œ Ž Ÿ): the
// comparison of the native build and of the tests.
bool SameTextCp1252(const std::string& a, const std::string& b);

// Language files are a few kilobytes; a larger file than this is refused before reading.
// Lookups scan the entries from the top, so the limit also bounds the time of applying a
// hostile file to the forms.
constexpr std::size_t kMaxLanguageFileSize = 1024u * 1024u;

// The line before the first "=" and the text after it, both verbatim.
struct Entry {
  std::string key;
  std::string value;
};

struct Section {
  std::string name;             // between the brackets, blanks included
  std::vector<Entry> entries;   // in file order; lines without "=" are left out (they never match)
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
  // "[...]" and drops the lines before the first section.
  Language(std::string_view text, SameTextFn sameText);

  // The first section of that name, or nullptr.
  const Section* FindSection(const std::string& name) const;
  // The value of the first entry whose key matches in the first section of that name;
  // `defaultValue` when there is none.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // The same within a section found before (nullptr: no such section).
  std::string ReadString(const Section* section, const std::string& key,
                         const std::string& defaultValue) const;

  const std::vector<Section>& Sections() const { return sections_; }
  const std::vector<IgnoredLine>& IgnoredLines() const { return ignored_; }

 private:
  void AddLine(std::string_view line, int number);

  std::vector<Section> sections_;
  std::vector<IgnoredLine> ignored_;
  SameTextFn sameText_;
};

// The value of a wizard text: "*|*" stands for a line break (CR LF).
std::string ExpandLineBreaks(const std::string& value);

// The wizard's keyed text: the default without a language, else the key of section "Misc"
// (empty when missing) with its line breaks expanded.
std::string MiscText(const Language* language, const std::string& defaultText,
                     const std::string& key);

// The keys of a form section: every key begins with the form's name.
std::string FormCaptionKey(const std::string& form);
std::string PropertyKey(const std::string& form, const std::string& component,
                        const std::string& property);
std::string LineKey(const std::string& form, const std::string& component, int index);
std::string CellKey(const std::string& form, const std::string& component, int col, int row);
std::string ItemKey(const std::string& form, const std::string& component, int index);

// Reads of lines and cells default to this marker, so that an empty value can blank a line
// while a missing entry leaves it alone. Compared exactly, with case.
extern const char kNoEntry[];

}  // namespace lang
