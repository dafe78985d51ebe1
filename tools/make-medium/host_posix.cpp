#include "host.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace medium::host {

namespace fs = std::filesystem;

std::vector<std::string> Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

// Terminals take UTF-8 as it is.
ConsoleText::ConsoleText() = default;
ConsoleText::~ConsoleText() = default;

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

bool Environment(const std::string& name, std::string& value) {
  const char* found = std::getenv(name.c_str());
  if (!found) return false;
  value = found;
  return true;
}

namespace {

TreeEntry Describe(const fs::directory_entry& entry, const std::string& name) {
  TreeEntry e;
  e.name = name;
  struct stat st {};
  if (::stat(entry.path().c_str(), &st) != 0) return e;
  e.modified = st.st_mtime;
  if (entry.is_directory())
    e.kind = entry.is_symlink() ? TreeEntry::kFolderLink : TreeEntry::kFolder;
  else if (entry.is_regular_file())
    e.kind = TreeEntry::kFile;
  return e;
}

}  // namespace

bool ListTree(const std::string& folder, std::vector<TreeEntry>& entries, std::string& error) {
  std::error_code failure;
  for (auto it = fs::recursive_directory_iterator(folder, failure); !failure && it != fs::end(it);
       it.increment(failure))
    entries.push_back(Describe(*it, fs::relative(it->path(), folder).generic_string()));
  if (failure) error = failure.message();
  return !failure;
}

PrivateFolder::PrivateFolder() {
  std::string pattern = (fs::temp_directory_path() / "make-medium-XXXXXX").string();
  if (::mkdtemp(&pattern[0])) path_ = pattern;  // mode 0700
}

PrivateFolder::~PrivateFolder() {
  std::error_code ignored;
  if (!path_.empty()) fs::remove_all(path_, ignored);
}

bool WritePrivateFile(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = true;
  for (size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    ok = n > 0 || (n < 0 && errno == EINTR);
    if (n > 0) done += size_t(n);
  }
  return ::close(fd) == 0 && ok;
}

namespace {

void ReadAll(int fd, std::string& output) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0)
      output.append(buffer, size_t(n));
    else if (n == 0 || errno != EINTR)
      return;
  }
}

int Wait(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int Run(const std::vector<std::string>& command, std::string& output) {
  int pipe[2];
  if (::pipe2(pipe, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, pipe[1], 2);
  std::vector<char*> argv;
  for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  const int started = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe[1]);
  if (started == 0) ReadAll(pipe[0], output);
  ::close(pipe[0]);
  return started == 0 ? Wait(child) : -1;
}

}  // namespace medium::host
