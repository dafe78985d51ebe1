// A temporary folder for one test, removed with everything in it afterwards (POSIX only).
#pragma once

#include <string>
#include <vector>

namespace ziptest {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
// Empty when the file cannot be read.
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Sets the file's modification time to a local date and time.
void SetLocalTime(const std::string& path, int year, int month, int day, int hour, int minute);
// Every file and folder below `folder`, relative and sorted, hidden ones included.
std::vector<std::string> ListTree(const std::string& folder);

}  // namespace ziptest
