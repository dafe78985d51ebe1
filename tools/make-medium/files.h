// Files of the build machine by their names in UTF-8, through the standard library, which
// uses the wide-character file functions on Windows.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace medium {

std::filesystem::path FsPath(const std::string& utf8);
std::string Utf8Path(const std::filesystem::path& path);

// "folder/name" with the system's separator.
std::string InFolder(const std::string& folder, const std::string& name);
// The last part of a path ("C:\\Daten\\german.lng" on Windows: "german.lng").
std::string FileName(const std::string& path);

std::optional<std::string> ReadWhole(const std::string& path);
bool WriteWhole(const std::string& path, const std::string& bytes);
bool MakeFolders(const std::string& folder);
bool IsEmptyOrAbsent(const std::string& folder);
bool IsFolder(const std::string& path);

}  // namespace medium
