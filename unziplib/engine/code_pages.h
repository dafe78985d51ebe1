// Member names between the code pages an archive may use and UTF-8, the form in which the
// engine hands paths to its output sink. Windows converts through the system's code pages;
// everywhere else single-byte tables stand in for them.
#pragma once

#include <cstdint>
#include <string>

namespace unzip {

class CodePages {
 public:
  virtual ~CodePages() = default;
  virtual std::string OemToUtf8(const std::string& text) const = 0;
  virtual std::string AnsiToUtf8(const std::string& text) const = 0;
  // The text in the ANSI code page. False when some character has no exact form there; it
  // then stands as "?" in `ansi`.
  virtual bool Utf8ToAnsi(const std::string& utf8, std::string& ansi) const = 0;
};

// Code page 1252 as the ANSI code page and 437 or 850 (the default) as the OEM one.
class TableCodePages : public CodePages {
 public:
  explicit TableCodePages(int oemCodePage = 850);
  std::string OemToUtf8(const std::string& text) const override;
  std::string AnsiToUtf8(const std::string& text) const override;
  bool Utf8ToAnsi(const std::string& utf8, std::string& ansi) const override;

 private:
  const uint16_t* oem_;  // the characters of the bytes 0x80 to 0xFF
};

// True when the text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const std::string& text);
bool HasHighBytes(const std::string& text);
void AppendUtf8(std::string& out, uint32_t codePoint);
// Decodes the character at `at` of valid UTF-8 and moves `at` past it.
uint32_t NextCodePoint(const std::string& utf8, size_t& at);

}  // namespace unzip
