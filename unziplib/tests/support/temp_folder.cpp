#include "temp_folder.h"

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ziptest {

TempFolder::TempFolder() {
  char pattern[] = "/tmp/unzip-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  nftw(
      path_.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 16,
      FTW_DEPTH | FTW_PHYS);
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

void SetLocalTime(const std::string& path, int year, int month, int day, int hour, int minute) {
  struct tm local {};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_isdst = -1;
  const time_t t = mktime(&local);
  const struct timeval times[2] = {{t, 0}, {t, 0}};
  if (utimes(path.c_str(), times) != 0) throw std::runtime_error("utimes " + path);
}

namespace {

void Walk(const std::string& base, const std::string& relative, std::vector<std::string>& out) {
  DIR* dir = opendir((relative.empty() ? base : base + "/" + relative).c_str());
  if (dir == nullptr) return;
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::string child = relative.empty() ? name : relative + "/" + name;
    struct stat st {};
    lstat((base + "/" + child).c_str(), &st);
    out.push_back(S_ISDIR(st.st_mode) ? child + "/" : child);
    if (S_ISDIR(st.st_mode)) Walk(base, child, out);
  }
  closedir(dir);
}

}  // namespace

std::vector<std::string> ListTree(const std::string& folder) {
  std::vector<std::string> out;
  Walk(folder, "", out);
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace ziptest
