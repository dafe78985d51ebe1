// Helpers of the archive component's Windows tests: a temporary folder, files, archives, and
// the record of the stand-in unzip library.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ZipArchive.h"
#include "span_set_builder.h"

namespace ziptest {

using Bytes = std::vector<uint8_t>;

// A new folder below the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // The folder with a trailing backslash.
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);

// A stored member with filler bytes.
spantest::Member Member(const std::string& name, size_t size, const std::string& comment = "");

// Folder of a variant of the stand-in library beside the test program ("v151", "v152",
// "noexec", "noversion") or of the real library ("real").
std::string LibraryFolder(const std::string& variant);

// What the stand-in library received.
struct LibraryRecord {
  bool present = false;
  Bytes block;
  std::string archive;
  std::string password;
  std::vector<std::string> specs;
  std::string currentFolder;
  std::string answers;
  int result = -1;

  int32_t Field(size_t offset) const;
};
LibraryRecord ReadLibraryRecord(const std::string& path);

// Every event and message of a component, in order.
struct EventLog {
  struct Progress {
    ProgressType type;
    std::string name;
    int size;
  };
  std::vector<Progress> progress;
  std::vector<std::pair<int, std::string>> messages;
  int dirUpdates = 0;

  void Attach(TZipArchive& zip);
  std::vector<Progress> OfType(ProgressType type) const;
};

// Answers the message boxes this process shows, one after the other, from a thread of its
// own: `answer` gets the box's text and returns IDOK or IDCANCEL. After `limit` boxes every
// further one is cancelled, so a test that goes wrong ends instead of waiting.
class BoxAnswerer {
 public:
  BoxAnswerer(std::function<int(const std::string& text)> answer, size_t limit);
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  std::vector<std::string> Texts() const;

 private:
  void Run();

  std::function<int(const std::string&)> answer_;
  size_t limit_;
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace ziptest
