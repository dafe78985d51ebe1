// What the medium builder found wrong or doubtful, each naming the file and the key.
#pragma once

#include <string>
#include <vector>

namespace medium {

struct Finding {
  bool error = true;  // false: a warning, the medium is still written
  std::string file;
  std::string key;  // "[Section] Key", a member name or empty
  std::string text;
  bool inputOutput = false;  // a file could not be read or written, not a fault of its contents
};

class Findings {
 public:
  void Error(const std::string& file, const std::string& key, const std::string& text);
  void Warning(const std::string& file, const std::string& key, const std::string& text);
  void InputOutputError(const std::string& file, const std::string& key, const std::string& text);
  bool HasErrors() const;
  bool HasInputOutputErrors() const;
  const std::vector<Finding>& All() const { return all_; }

 private:
  std::vector<Finding> all_;
};

// "error: Setup.inf: [GroupEntries] Talvenor: ..." as printed.
std::string Describe(const Finding& finding);

}  // namespace medium
