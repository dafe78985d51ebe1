#include "win32_files.h"

#include <algorithm>

namespace unzip {

namespace {

std::string Native(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  return p;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class Win32PendingFile : public PendingFile {
 public:
  Win32PendingFile(HANDLE h, std::string temporary, std::string target)
      : file_(h), temporary_(std::move(temporary)), target_(std::move(target)) {}

  ~Win32PendingFile() override {
    file_.Close();
    if (!committed_) DeleteFileA(temporary_.c_str());
  }

  bool Write(const uint8_t* data, size_t length) override {
    while (length > 0) {
      DWORD written = 0;
      const DWORD chunk = DWORD(std::min<size_t>(length, 1u << 30));
      if (!WriteFile(file_.get(), data, chunk, &written, nullptr) || written == 0) return false;
      data += written;
      length -= written;
    }
    return true;
  }

  bool Commit(DosTime modified) override {
    FILETIME local{};
    FILETIME utc{};
    const bool dated = DosDateTimeToFileTime(modified.date, modified.time, &local) &&
                       LocalFileTimeToFileTime(&local, &utc) &&
                       SetFileTime(file_.get(), nullptr, &utc, &utc);
    if (!file_.Close() || !dated) return false;
    committed_ = Replace();
    return committed_;
  }

 private:
  bool Replace() {
    if (MoveFileExA(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    // A read-only file is only replaced once its attribute is cleared.
    const DWORD attributes = GetFileAttributesA(target_.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0)
      return false;
    SetFileAttributesA(target_.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    if (MoveFileExA(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    SetFileAttributesA(target_.c_str(), attributes);
    return false;
  }

  FileHandle file_;
  std::string temporary_;
  std::string target_;
  bool committed_ = false;
};

}  // namespace

bool FileHandle::Close() {
  if (handle_ == INVALID_HANDLE_VALUE) return true;
  const bool ok = CloseHandle(handle_) != 0;
  handle_ = INVALID_HANDLE_VALUE;
  return ok;
}

std::unique_ptr<Win32FileInput> Win32FileInput::Open(const std::string& path) {
  FileHandle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!h.valid() || !GetFileSizeEx(h.get(), &size)) return nullptr;
  return std::unique_ptr<Win32FileInput>(new Win32FileInput(h.Release(), uint64_t(size.QuadPart)));
}

size_t Win32FileInput::ReadAt(uint64_t offset, uint8_t* buffer, size_t length) {
  size_t done = 0;
  while (done < length) {
    OVERLAPPED at{};
    at.Offset = DWORD(offset + done);
    at.OffsetHigh = DWORD((offset + done) >> 32);
    DWORD read = 0;
    const DWORD chunk = DWORD(std::min<size_t>(length - done, 1u << 30));
    if (!ReadFile(file_.get(), buffer + done, chunk, &read, &at) || read == 0) break;
    done += read;
  }
  return done;
}

bool Win32Sink::CreateFolders(const std::string& folder) {
  const std::string native = Native(folder);
  size_t end = 0;
  do {
    end = native.find('\\', end + 1);
    const std::string level = native.substr(0, end);
    if (!CreateDirectoryA(level.c_str(), nullptr) && !IsFolder(level)) return false;
  } while (end != std::string::npos);
  return true;
}

ExistingEntry Win32Sink::Examine(const std::string& path) {
  ExistingEntry e;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(Native(path).c_str(), GetFileExInfoStandard, &data)) return e;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    e.kind = ExistingEntry::kFolder;
    return e;
  }
  e.kind = ExistingEntry::kFile;
  FILETIME local{};
  WORD date = 0;
  WORD time = 0;
  if (FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) &&
      FileTimeToDosDateTime(&local, &date, &time)) {
    e.modified.date = date;
    e.modified.time = time;
  }
  return e;
}

std::unique_ptr<PendingFile> Win32Sink::Begin(const std::string& path) {
  const std::string target = Native(path);
  const size_t folderEnd = target.rfind('\\') + 1;  // 0 for a file in the current folder
  const std::string prefix =
      target.substr(0, folderEnd) + "~unz" + std::to_string(GetCurrentProcessId()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temporary = prefix + std::to_string(nextTemporary_++) + ".tmp";
    HANDLE h = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h != INVALID_HANDLE_VALUE)
      return std::make_unique<Win32PendingFile>(h, std::move(temporary), target);
    if (GetLastError() != ERROR_FILE_EXISTS) return nullptr;
  }
  return nullptr;
}

}  // namespace unzip
