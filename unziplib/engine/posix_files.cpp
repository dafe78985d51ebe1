#include "posix_files.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace unzip {

namespace {

DosTime DosFromUnix(time_t t) {
  struct tm local {};
  localtime_r(&t, &local);
  DosTime d;
  if (local.tm_year < 80) return d;  // before 1980: the earliest DOS date is 0
  d.date = uint16_t(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  d.time = uint16_t((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return d;
}

time_t UnixFromDos(DosTime d) {
  struct tm local {};
  local.tm_year = ((d.date >> 9) & 0x7F) + 80;
  local.tm_mon = ((d.date >> 5) & 0x0F) - 1;
  local.tm_mday = d.date & 0x1F;
  local.tm_hour = (d.time >> 11) & 0x1F;
  local.tm_min = (d.time >> 5) & 0x3F;
  local.tm_sec = (d.time & 0x1F) * 2;
  local.tm_isdst = -1;
  return mktime(&local);
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

class PosixPendingFile : public PendingFile {
 public:
  PosixPendingFile(int fd, std::string temporary, std::string target)
      : fd_(fd), temporary_(std::move(temporary)), target_(std::move(target)) {}

  ~PosixPendingFile() override {
    if (fd_ >= 0) close(fd_);
    if (!committed_) unlink(temporary_.c_str());
  }

  bool Write(const uint8_t* data, size_t length) override {
    while (length > 0) {
      const ssize_t n = write(fd_, data, length);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      data += n;
      length -= size_t(n);
    }
    return true;
  }

  bool Commit(DosTime modified) override {
    const time_t when = UnixFromDos(modified);
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    const bool ok = !modified.Valid() || futimens(fd_, times) == 0;
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0 || !ok) return false;
    committed_ = temporary_ == target_ || rename(temporary_.c_str(), target_.c_str()) == 0;
    return committed_;
  }

 private:
  int fd_;
  std::string temporary_;
  std::string target_;
  bool committed_ = false;
};

}  // namespace

std::unique_ptr<PosixFileInput> PosixFileInput::Open(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<PosixFileInput>(new PosixFileInput(fd, uint64_t(st.st_size)));
}

PosixFileInput::~PosixFileInput() { close(fd_); }

size_t PosixFileInput::ReadAt(uint64_t offset, uint8_t* buffer, size_t length) {
  size_t done = 0;
  while (done < length) {
    const ssize_t n = pread(fd_, buffer + done, length - done, off_t(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += size_t(n);
  }
  return done;
}

PosixSink::PosixSink(std::string baseFolder) : base_(std::move(baseFolder)) {}

std::string PosixSink::Full(const std::string& path) const { return base_.empty() ? path : base_ + "/" + path; }

FolderResult PosixSink::CreateFolders(const std::string& folder) {
  if (folder.empty()) return FolderResult::kOk;
  size_t end = 0;
  do {
    end = folder.find('/', end + 1);
    const std::string level = Full(folder.substr(0, end));
    if (mkdir(level.c_str(), 0755) != 0) {
      struct stat st {};
      if (errno != EEXIST || lstat(level.c_str(), &st) != 0) return FolderResult::kFailed;
      if (S_ISLNK(st.st_mode)) return FolderResult::kLink;
      if (!S_ISDIR(st.st_mode)) return FolderResult::kFailed;
    }
  } while (end != std::string::npos);
  return FolderResult::kOk;
}

ExistingEntry PosixSink::Examine(const std::string& path) {
  ExistingEntry e;
  struct stat st {};
  if (stat(Full(path).c_str(), &st) != 0) return e;
  e.kind = S_ISDIR(st.st_mode) ? ExistingEntry::kFolder : ExistingEntry::kFile;
  e.modified = DosFromUnix(st.st_mtime);
  return e;
}

std::unique_ptr<PendingFile> PosixSink::Begin(const std::string& path) {
  const std::string target = Full(path);
  // A new file is written under its own name: until it is complete nothing else was there, and
  // a failure removes it. Only an existing file is replaced through a temporary one.
  const int direct = open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (direct >= 0) return std::make_unique<PosixPendingFile>(direct, target, target);
  const std::string prefix = DirectoryOf(target) + "/.unz-" + std::to_string(getpid()) + "-";
  // A name of our own rather than mkstemp's: the file gets the usual permissions at once.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temporary = prefix + std::to_string(nextTemporary_++);
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return std::make_unique<PosixPendingFile>(fd, std::move(temporary), target);
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

}  // namespace unzip
