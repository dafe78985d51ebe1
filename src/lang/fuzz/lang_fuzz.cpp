// Fuzz target: any bytes as a language file. The reader must split, look up and expand them
// without a fault, and its lookups must agree with a plain scan of the parsed sections.
#include "lang_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

const lang::Entry* FirstMatch(const lang::Section& section, const std::string& key) {
  for (const lang::Entry& e : section.entries)
    if (lang::SameTextCp1252(e.key, key)) return &e;
  return nullptr;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const lang::Language language(text, &lang::SameTextCp1252);
  size_t total = 0;
  for (const lang::Section& section : language.Sections()) {
    total += section.name.size() + 3;  // brackets and a line end
    const lang::Section* first = language.FindSection(section.name);
    Check(first != nullptr && first <= &section);
    for (const lang::Entry& entry : section.entries) {
      total += entry.key.size() + entry.value.size() + 1;
      Check(entry.key.find_first_of("\r\n=") == std::string::npos);
      Check(entry.value.find_first_of("\r\n") == std::string::npos);
      if (first == &section) {
        const lang::Entry* expected = FirstMatch(section, entry.key);
        Check(expected && language.ReadString(section.name, entry.key, "") == expected->value);
      }
      lang::ExpandLineBreaks(entry.value);
    }
  }
  Check(total <= size + 1);  // nothing is made up (the last line may lack its line end)
  lang::MiscText(&language, "default", "install_1");
  lang::MiscText(&language, "default", std::string(text.substr(0, 16)));
  return 0;
}
