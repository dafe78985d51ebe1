#include "message_format.h"

#include <cstdio>
#include <cstring>

namespace zipcore {

namespace {

bool IsSpecChar(char c) { return std::strchr("-+ #0123456789.", c) != nullptr; }

// One placeholder "%<spec><conversion>" filled by `arg`; false when the kinds differ.
bool Fill(const std::string& spec, char conversion, const MessageArg& arg, std::string& out) {
  const bool numeric = conversion == 'd' || conversion == 'i' || conversion == 'u';
  if (numeric != arg.isNumber || spec.size() > 16) return false;
  const std::string format = "%" + spec + (numeric ? 'd' : 's');
  const int length = numeric ? std::snprintf(nullptr, 0, format.c_str(), arg.number)
                             : std::snprintf(nullptr, 0, format.c_str(), arg.text.c_str());
  if (length < 0) return false;
  std::string filled(size_t(length) + 1, '\0');
  if (numeric)
    std::snprintf(&filled[0], filled.size(), format.c_str(), arg.number);
  else
    std::snprintf(&filled[0], filled.size(), format.c_str(), arg.text.c_str());
  filled.resize(size_t(length));
  out += filled;
  return true;
}

}  // namespace

std::string FillPlaceholders(const std::string& pattern, const std::vector<MessageArg>& args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') {
      out += pattern[i];
      continue;
    }
    if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < pattern.size() && IsSpecChar(pattern[end])) ++end;
    if (end >= pattern.size() || std::strchr("dius", pattern[end]) == nullptr) {
      out += '%';
      continue;
    }
    const std::string spec = pattern.substr(i + 1, end - i - 1);
    if (next < args.size() && Fill(spec, pattern[end], args[next], out)) {
      ++next;
    } else {
      out.append(pattern, i, end - i + 1);
    }
    i = end;
  }
  return out;
}

}  // namespace zipcore
