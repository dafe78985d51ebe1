// Filling the placeholders of a string-table text ("%s", "%d", "%.1d" ...) with values,
// safely: a placeholder is only filled by a value of its own kind, so a text that does not
// match its call is shown with the placeholder instead of reading a wrong argument.
#pragma once

#include <string>
#include <vector>

namespace zipcore {

struct MessageArg {
  MessageArg(int n) : isNumber(true), number(n) {}                    // NOLINT: implicit on purpose
  MessageArg(std::string s) : isNumber(false), text(std::move(s)) {}  // NOLINT
  MessageArg(const char* s) : isNumber(false), text(s) {}             // NOLINT

  bool isNumber;
  int number = 0;
  std::string text;
};

// Replaces the placeholders of `pattern` in order by `args`; "%%" becomes "%". Flags, width
// and precision of a placeholder are honoured ("%.1d", "%3d", "%-8s").
std::string FillPlaceholders(const std::string& pattern, const std::vector<MessageArg>& args);

}  // namespace zipcore
