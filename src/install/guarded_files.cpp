#include "guarded_files.h"

#include "files.h"
#include "install_paths.h"
#include "links.h"

#include <windows.h>

namespace install {

namespace {

using State = CheckedFolders::State;

constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;

std::wstring Wide(const std::string& text) {
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(size > 0 ? size : 0), L'\0');
  if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()), &wide[0], size);
  return wide;
}

// As the file system compares names: ordinal, without regard to case.
bool SamePath(const std::string& a, const std::string& b) {
  const std::wstring wa = Wide(a), wb = Wide(b);
  return ::CompareStringOrdinal(wa.c_str(), int(wa.size()), wb.c_str(), int(wb.size()), TRUE) == CSTR_EQUAL;
}

// The full path without a trailing backslash (a drive root keeps its own).
std::string Full(const std::string& path) {
  std::string full = platform::ExpandFileName(path);
  while (full.size() > 3 && full.back() == '\\') full.pop_back();
  return full;
}

std::string FolderOf(const std::string& full) { return Full(platform::ExtractFilePath(full)); }

// The path with every part in its long form, as the system gives the final path of a handle.
std::string LongForm(const std::string& path) {
  char buffer[MAX_PATH * 4];
  const DWORD n = ::GetLongPathNameA(path.c_str(), buffer, DWORD(sizeof buffer));
  return n == 0 || n >= sizeof buffer ? path : std::string(buffer, n);
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Opens a folder as itself, held without sharing deletion, and tells what was found.
State OpenFolder(const std::string& full, platform::UniqueFile& folder) {
  folder = platform::OpenWithoutFollowing(full, FILE_READ_ATTRIBUTES | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (!folder) return IsMissing(::GetLastError()) ? State::Missing : State::Link;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool itself = ::GetFileInformationByHandle(folder.get(), &info) &&
                      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                      !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                      SamePath(platform::FinalPathOf(folder.get()), LongForm(full));
  if (!itself) folder.reset();
  return itself ? State::Itself : State::Link;
}

// An empty folder goes through a handle: Wine's RemoveDirectory removes what a link points to.
RemoveOutcome RemoveFolder(const std::string& full) {
  platform::UniqueFile folder;
  if (OpenFolder(full, folder) != State::Itself) return RemoveOutcome::Link;
  folder.reset();
  folder = platform::OpenWithoutFollowing(full, DELETE | FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  FILE_DISPOSITION_INFO disposition{TRUE};
  if (folder && ::SetFileInformationByHandle(folder.get(), FileDispositionInfo, &disposition, sizeof disposition))
    return RemoveOutcome::Removed;
  return ::GetLastError() == ERROR_DIR_NOT_EMPTY ? RemoveOutcome::NotEmpty : RemoveOutcome::Failed;
}

}  // namespace

State CheckedFolders::Check(const std::string& folder) {
  const std::string full = Full(folder);
  const auto found = held_.find(Folded(full));
  if (found != held_.end()) return found->second.state;
  platform::UniqueFile handle;
  const State state = OpenFolder(full, handle);
  // A folder that is missing now may be made later.
  if (state != State::Missing) held_.emplace(Folded(full), Held{state, std::move(handle)});
  return state;
}

void CheckedFolders::Release(const std::string& folder) { held_.erase(Folded(Full(folder))); }

platform::UniqueFile OpenFolderChecked(const std::string& path) {
  platform::UniqueFile folder;
  OpenFolder(Full(path), folder);
  return folder;
}

RemoveOutcome RemoveChecked(const std::string& path, CheckedFolders& folders) {
  const std::string full = Full(path);
  const State folder = folders.Check(FolderOf(full));
  if (folder != State::Itself) return folder == State::Missing ? RemoveOutcome::Missing : RemoveOutcome::Link;
  const DWORD attributes = ::GetFileAttributesA(full.c_str());
  if (attributes == kNoAttributes) return IsMissing(::GetLastError()) ? RemoveOutcome::Missing : RemoveOutcome::Failed;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveOutcome::Link;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    folders.Release(full);
    return RemoveFolder(full);
  }
  if (::DeleteFileA(full.c_str())) return RemoveOutcome::Removed;
  // A read-only file is deleted once its attribute is cleared.
  const bool deleted = (attributes & FILE_ATTRIBUTE_READONLY) &&
                       ::SetFileAttributesA(full.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)) &&
                       ::DeleteFileA(full.c_str());
  return deleted ? RemoveOutcome::Removed : RemoveOutcome::Failed;
}

bool MoveChecked(const std::string& from, const std::string& to, CheckedFolders& folders) {
  const std::string full = Full(from);
  if (folders.Check(FolderOf(full)) != State::Itself) return false;
  const DWORD attributes = ::GetFileAttributesA(full.c_str());
  return attributes != kNoAttributes && !(attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
         ::MoveFileExA(full.c_str(), to.c_str(), 0);
}

bool PutBack(const std::string& copy, const std::string& path, CheckedFolders& folders) {
  if (::GetFileAttributesA(copy.c_str()) == kNoAttributes && IsMissing(::GetLastError())) return true;
  const RemoveOutcome replaced = RemoveChecked(path, folders);
  return (replaced == RemoveOutcome::Removed || replaced == RemoveOutcome::Missing) &&
         ::MoveFileExA(copy.c_str(), Full(path).c_str(), MOVEFILE_COPY_ALLOWED);
}

}  // namespace install
