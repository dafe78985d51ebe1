#include "win32_files.h"

#include <algorithm>

namespace unzip {

namespace {

std::wstring Widen(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(std::max(length, 0)), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &wide[0], length);
  return wide;
}

std::string Narrow(UINT codePage, const std::wstring& wide, DWORD flags, BOOL* usedDefault) {
  if (wide.empty()) return std::string();
  const int length =
      WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr, usedDefault);
  std::string text(size_t(std::max(length, 0)), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), &text[0], length, nullptr, usedDefault);
  return text;
}

// A member path (UTF-8, "/" separators) as the wide-character file functions take it.
std::wstring Native(const std::string& path) {
  std::wstring p = Widen(CP_UTF8, path);
  std::replace(p.begin(), p.end(), L'/', L'\\');
  return p;
}

// The path the system gives an open file or folder, without "\\?\" ("\\?\UNC\" becomes "\\").
std::wstring FinalPath(HANDLE object) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFinalPathNameByHandleW(object, &path[0], DWORD(path.size()), FILE_NAME_NORMALIZED);
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(n + 1);
  }
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
  return path;
}

// Deletes what an open handle (opened with DELETE access) holds.
void DeleteThrough(HANDLE object) {
  FILE_DISPOSITION_INFO gone{TRUE};
  SetFileInformationByHandle(object, FileDispositionInfo, &gone, sizeof gone);
}

class Win32PendingFile : public PendingFile {
 public:
  Win32PendingFile(HANDLE h, std::wstring temporary, std::wstring target)
      : file_(h), temporary_(std::move(temporary)), target_(std::move(target)) {}

  ~Win32PendingFile() override {
    file_.Close();
    if (!committed_) DeleteFileW(temporary_.c_str());
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
    const bool dated = SetTime(modified);
    if (!file_.Close() || !dated) return false;
    committed_ = temporary_ == target_ || Replace();
    return committed_;
  }

 private:
  // An invalid date in the archive leaves the file the time it got.
  bool SetTime(DosTime modified) {
    if (!modified.Valid()) return true;
    FILETIME local{};
    FILETIME utc{};
    return DosDateTimeToFileTime(modified.date, modified.time, &local) && LocalFileTimeToFileTime(&local, &utc) &&
           SetFileTime(file_.get(), nullptr, &utc, &utc);
  }

  bool Replace() {
    if (MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    // A read-only file is only replaced once its attribute is cleared.
    const DWORD attributes = GetFileAttributesW(target_.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0) return false;
    SetFileAttributesW(target_.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    if (MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    SetFileAttributesW(target_.c_str(), attributes);
    return false;
  }

  FileHandle file_;
  std::wstring temporary_;
  std::wstring target_;
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

Win32Sink::Win32Sink()
    : baseFolder_(CreateFileW(L".", FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {
  if (baseFolder_.valid()) base_ = FinalPath(baseFolder_.get());
}

bool Win32Sink::AtExpectedPlace(HANDLE object, const std::wstring& relative) const {
  BY_HANDLE_FILE_INFORMATION info{};
  if (base_.empty() || !GetFileInformationByHandle(object, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return false;
  const std::wstring expected = base_ + (base_.back() == L'\\' ? L"" : L"\\") + relative;
  const std::wstring actual = FinalPath(object);
  return CompareStringOrdinal(actual.c_str(), int(actual.size()), expected.c_str(), int(expected.size()), TRUE) ==
         CSTR_EQUAL;
}

FolderResult Win32Sink::CreateFolders(const std::string& folder) {
  const std::wstring native = Native(folder);
  size_t end = 0;
  do {
    end = native.find(L'\\', end + 1);
    const std::wstring level = native.substr(0, end);
    const bool created = CreateDirectoryW(level.c_str(), nullptr) != 0;
    FileHandle entry(CreateFileW(level.c_str(), FILE_READ_ATTRIBUTES | DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!entry.valid() || !GetFileInformationByHandle(entry.get(), &info)) return FolderResult::kFailed;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return FolderResult::kFailed;
    if (!AtExpectedPlace(entry.get(), level)) {
      // Made through a link that appeared on the way: it goes again.
      if (created) DeleteThrough(entry.get());
      return FolderResult::kLink;
    }
  } while (end != std::wstring::npos);
  return FolderResult::kOk;
}

HANDLE Win32Sink::CreateNew(const std::wstring& relative) const {
  HANDLE h = CreateFileW(relative.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE || AtExpectedPlace(h, relative)) return h;
  DeleteThrough(h);
  CloseHandle(h);
  SetLastError(ERROR_ACCESS_DENIED);
  return INVALID_HANDLE_VALUE;
}

ExistingEntry Win32Sink::Examine(const std::string& path) {
  ExistingEntry e;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Native(path).c_str(), GetFileExInfoStandard, &data)) return e;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    e.kind = ExistingEntry::kFolder;
    return e;
  }
  e.kind = ExistingEntry::kFile;
  FILETIME local{};
  WORD date = 0;
  WORD time = 0;
  if (FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) && FileTimeToDosDateTime(&local, &date, &time)) {
    e.modified.date = date;
    e.modified.time = time;
  }
  return e;
}

std::unique_ptr<PendingFile> Win32Sink::Begin(const std::string& path) {
  std::wstring target = Native(path);
  // A new file is written under its own name: until it is complete nothing else was there, and
  // a failure removes it. Only an existing file is replaced through a temporary one.
  HANDLE direct = CreateNew(target);
  if (direct != INVALID_HANDLE_VALUE) return std::make_unique<Win32PendingFile>(direct, target, target);
  if (GetLastError() == ERROR_ACCESS_DENIED) return nullptr;
  const size_t folderEnd = target.rfind(L'\\') + 1;  // 0 for a file in the current folder
  const std::wstring prefix = target.substr(0, folderEnd) + L"~unz" + std::to_wstring(GetCurrentProcessId()) + L"-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring temporary = prefix + std::to_wstring(nextTemporary_++) + L".tmp";
    HANDLE h = CreateNew(temporary);
    if (h != INVALID_HANDLE_VALUE)
      return std::make_unique<Win32PendingFile>(h, std::move(temporary), std::move(target));
    if (GetLastError() != ERROR_FILE_EXISTS) return nullptr;
  }
  return nullptr;
}

std::string Win32CodePages::OemToUtf8(const std::string& text) const {
  return Narrow(CP_UTF8, Widen(CP_OEMCP, text), 0, nullptr);
}

std::string Win32CodePages::AnsiToUtf8(const std::string& text) const {
  return Narrow(CP_UTF8, Widen(CP_ACP, text), 0, nullptr);
}

bool Win32CodePages::Utf8ToAnsi(const std::string& utf8, std::string& ansi) const {
  const std::wstring wide = Widen(CP_UTF8, utf8);
  BOOL usedDefault = FALSE;
  ansi = Narrow(CP_ACP, wide, WC_NO_BEST_FIT_CHARS, &usedDefault);
  // Some code pages map more than one character onto a byte; only a round trip is exact.
  return !usedDefault && Widen(CP_ACP, ansi) == wide;
}

}  // namespace unzip
