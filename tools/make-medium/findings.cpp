#include "findings.h"

#include <algorithm>

namespace medium {

void Findings::Error(const std::string& file, const std::string& key, const std::string& text) {
  all_.push_back({true, file, key, text});
}

void Findings::Warning(const std::string& file, const std::string& key, const std::string& text) {
  all_.push_back({false, file, key, text});
}

void Findings::InputOutputError(const std::string& file, const std::string& key, const std::string& text) {
  all_.push_back({true, file, key, text, true});
}

bool Findings::HasErrors() const {
  return std::any_of(all_.begin(), all_.end(), [](const Finding& f) { return f.error; });
}

bool Findings::HasInputOutputErrors() const {
  return std::any_of(all_.begin(), all_.end(), [](const Finding& f) { return f.inputOutput; });
}

std::string Describe(const Finding& finding) {
  std::string line = finding.error ? "error: " : "warning: ";
  line += finding.file + ": ";
  if (!finding.key.empty()) line += finding.key + ": ";
  return line + finding.text;
}

}  // namespace medium
