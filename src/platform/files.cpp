#include "files.h"

#include "handle.h"

#include <algorithm>
#include <cstdint>

namespace platform {

std::string IncludeTrailingBackslash(const std::string& path) {
  return (!path.empty() && path.back() == '\\') ? path : path + "\\";
}

std::string ExtractFilePath(const std::string& path) {
  const size_t p = path.find_last_of("\\:");
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& path) {
  const size_t p = path.find_last_of("\\:");
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFileExt(const std::string& path) {
  const size_t dot = path.find_last_of(".\\:");
  return (dot == std::string::npos || path[dot] != '.') ? std::string() : path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  const std::string old = ExtractFileExt(path);
  return path.substr(0, path.size() - old.size()) + ext;
}

std::string ExpandFileName(const std::string& path) {
  char buffer[MAX_PATH * 2];
  char* name = nullptr;
  const DWORD n = ::GetFullPathNameA(path.c_str(), DWORD(sizeof buffer), buffer, &name);
  return (n == 0 || n >= sizeof buffer) ? path : std::string(buffer, n);
}

std::string ModuleFileName() {
  char buffer[MAX_PATH * 2];
  const DWORD n = ::GetModuleFileNameA(nullptr, buffer, DWORD(sizeof buffer));
  return std::string(buffer, n);
}

std::string ExeFolder() { return ExtractFilePath(ModuleFileName()); }

std::string CurrentFolder() {
  char buffer[MAX_PATH * 2];
  const DWORD n = ::GetCurrentDirectoryA(DWORD(sizeof buffer), buffer);
  return std::string(buffer, n < sizeof buffer ? n : 0);
}

bool SetCurrentFolder(const std::string& path) { return ::SetCurrentDirectoryA(path.c_str()) != 0; }

std::string WindowsFolder() {
  char buffer[MAX_PATH];
  const UINT n = ::GetWindowsDirectoryA(buffer, MAX_PATH);
  return std::string(buffer, n < MAX_PATH ? n : 0);
}

std::string TempFolder() {
  char buffer[MAX_PATH + 1];
  const DWORD n = ::GetTempPathA(DWORD(sizeof buffer), buffer);
  return std::string(buffer, n <= MAX_PATH ? n : 0);
}

bool FileExists(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& path) {
  std::string dir = path;
  while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  if (dir.empty()) return false;
  if (DirectoryExists(dir)) return true;
  const std::string parent = ExtractFilePath(dir);
  // Stop at a drive root ("C:\") or a name without parent.
  if (!parent.empty() && parent != dir && parent.size() < dir.size()) ForceDirectories(parent);
  return ::CreateDirectoryA(dir.c_str(), nullptr) || DirectoryExists(dir);
}

namespace {

std::vector<std::string> List(const std::string& folder, bool folders) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  UniqueFind find(::FindFirstFileA((IncludeTrailingBackslash(folder) + "*").c_str(), &fd));
  if (!find) return names;
  do {
    const bool isDir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::string name = fd.cFileName;
    if (isDir != folders || name == "." || name == "..") continue;
    names.push_back(name);
  } while (::FindNextFileA(find.get(), &fd));
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return names;
}

}  // namespace

std::vector<std::string> ListFiles(const std::string& folder) { return List(folder, false); }
std::vector<std::string> ListFolders(const std::string& folder) { return List(folder, true); }

int CompareText(const std::string& a, const std::string& b) {
  return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), int(a.size()), b.data(), int(b.size())) -
         CSTR_EQUAL;
}

bool SameText(const std::string& a, const std::string& b) { return CompareText(a, b) == 0; }

std::string SameTextKey(const std::string& text) {
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int size = ::LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), int(text.size()), nullptr, 0);
  std::string key(size_t(size > 0 ? size : 0), '\0');
  if (size > 0) ::LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), int(text.size()), &key[0], size);
  return key;
}

std::string UpperCase(const std::string& s) {
  std::string u = s;
  if (!u.empty()) ::CharUpperBuffA(&u[0], DWORD(u.size()));
  return u;
}

std::wstring Widen(const std::string& ansi) {
  const int size = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
  std::wstring wide(size_t(size > 0 ? size : 0), L'\0');
  if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), &wide[0], size);
  return wide;
}

std::string Utf8(const std::string& ansi) {
  const std::wstring wide = Widen(ansi);
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(size > 0 ? size : 0), '\0');
  if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &utf8[0], size, nullptr, nullptr);
  return utf8;
}

bool ReadWholeFile(const std::string& path, std::string& content, size_t limit) {
  const UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size) || uint64_t(size.QuadPart) > limit) return false;
  content.assign(size_t(size.QuadPart), '\0');
  DWORD read = 0;
  return content.empty() ||
         (::ReadFile(file.get(), &content[0], DWORD(content.size()), &read, nullptr) && read == content.size());
}

bool WriteWholeFile(const std::string& path, const std::string& content) {
  const UniqueFile file(
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.get(), content.data(), DWORD(content.size()), &written, nullptr) &&
         written == content.size() && ::FlushFileBuffers(file.get());
}

std::vector<std::string> MissingFolderLevels(const std::string& path) {
  std::vector<std::string> missing;
  std::string level = path;
  while (!level.empty() && level.back() == '\\') level.pop_back();
  while (!level.empty() && !DirectoryExists(level)) {
    missing.insert(missing.begin(), level);
    const size_t slash = level.find_last_of('\\');
    if (slash == std::string::npos || slash < 3) break;  // "C:\" or a share root: no level above
    level.resize(slash);
  }
  return missing;
}

}  // namespace platform
