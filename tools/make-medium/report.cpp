#include "report.h"

#include <cstdio>

namespace medium {

namespace {

// From here on a payload is large enough to show how far the builder is.
constexpr uint64_t kLargeFiles = 1000;
constexpr uint64_t kLargeBytes = 32ull << 20;

constexpr std::chrono::milliseconds kProgressInterval{100};

std::string Megabytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", double(bytes) / (1 << 20));
  return text;
}

}  // namespace

void Report::Line(const std::string& text) {
  EndProgress();
  out_ << text << "\n";
}

void Report::Detail(const std::string& text) {
  if (verbose_) Line(text);
}

void Report::BeginSteps(uint64_t totalFiles, uint64_t totalBytes) {
  totalFiles_ = totalFiles;
  totalBytes_ = totalBytes;
}

void Report::Progress(const char* step, uint64_t files, uint64_t bytes) {
  if (!progress_ || (totalFiles_ < kLargeFiles && totalBytes_ < kLargeBytes)) return;
  const auto now = std::chrono::steady_clock::now();
  if (showing_ && files < totalFiles_ && now - shown_ < kProgressInterval) return;
  const std::string text = std::string(step) + ": " + std::to_string(files) + " of " + std::to_string(totalFiles_) +
                           " files, " + Megabytes(bytes) + " of " + Megabytes(totalBytes_) + " MB";
  out_ << "\r" << text << std::string(width_ > text.size() ? width_ - text.size() : 0, ' ') << std::flush;
  width_ = text.size();
  showing_ = true;
  shown_ = now;
}

void Report::EndProgress() {
  if (!showing_) return;
  out_ << "\r" << std::string(width_, ' ') << "\r" << std::flush;
  showing_ = false;
  width_ = 0;
}

}  // namespace medium
