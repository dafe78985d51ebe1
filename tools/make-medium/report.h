// What the builder tells its user: findings and a summary always, the members with
// --verbose, and on a terminal a progress line for large payloads that the next line replaces.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

namespace medium {

class Report {
 public:
  // `progress`: the output is a terminal, where a line may be rewritten.
  Report(std::ostream& out, bool verbose, bool progress) : out_(out), verbose_(verbose), progress_(progress) {}

  void Line(const std::string& text);
  void Detail(const std::string& text);  // --verbose only

  // A step over many files begins; its progress is shown when the payload is large.
  void BeginSteps(uint64_t totalFiles, uint64_t totalBytes);
  // `files` and `bytes` of the step's totals are done; shown at most ten times a second.
  void Progress(const char* step, uint64_t files, uint64_t bytes);
  void EndProgress();

 private:
  std::ostream& out_;
  bool verbose_;
  bool progress_;
  bool showing_ = false;
  uint64_t totalFiles_ = 0, totalBytes_ = 0;
  size_t width_ = 0;  // of the progress line on the screen
  std::chrono::steady_clock::time_point shown_;
};

}  // namespace medium
