#include "files.h"

#include <fstream>
#include <iterator>

namespace medium {

namespace fs = std::filesystem;

fs::path FsPath(const std::string& utf8) { return fs::u8path(utf8); }

std::string Utf8Path(const fs::path& path) { return path.u8string(); }

std::string InFolder(const std::string& folder, const std::string& name) {
  return Utf8Path(FsPath(folder) / FsPath(name));
}

std::string FileName(const std::string& path) { return Utf8Path(FsPath(path).filename()); }

std::optional<std::string> ReadWhole(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  return bool(out);
}

bool MakeFolders(const std::string& folder) {
  std::error_code error;
  fs::create_directories(FsPath(folder), error);
  return !error;
}

bool IsEmptyOrAbsent(const std::string& folder) {
  std::error_code error;
  const fs::path path = FsPath(folder);
  if (!fs::exists(path, error)) return true;
  return fs::is_directory(path, error) && fs::is_empty(path, error);
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(FsPath(path), error);
}

}  // namespace medium
