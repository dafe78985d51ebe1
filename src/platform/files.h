// File-system helpers of the setup: paths are built by plain concatenation and a folder used
// as a prefix ends in a backslash.
#pragma once

#include <string>
#include <vector>

namespace platform {

std::string IncludeTrailingBackslash(const std::string& path);
std::string ExtractFilePath(const std::string& path);  // up to and including the last '\' or ':'
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);  // from the last '.', "" without one
std::string ChangeFileExt(const std::string& path, const std::string& ext);
std::string ExpandFileName(const std::string& path);
std::string ModuleFileName();  // full path of the running program
std::string ExeFolder();       // its folder, with backslash
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);
std::string WindowsFolder();
std::string TempFolder();
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// The levels of a folder path that do not exist yet, outermost first, each without a
// trailing backslash.
std::vector<std::string> MissingFolderLevels(const std::string& path);
// Creates a folder and every missing level above it; true when it exists afterwards.
bool ForceDirectories(const std::string& path);
// Names of the files (not folders) in a folder, sorted without regard to case.
std::vector<std::string> ListFiles(const std::string& folder);
// Names of the subfolders of a folder, sorted without regard to case.
std::vector<std::string> ListFolders(const std::string& folder);
// A file's whole content (at most `limit` bytes); false when it cannot be read or is larger.
bool ReadWholeFile(const std::string& path, std::string& content, size_t limit = 256u << 20);
// Creates or replaces a file with this content and flushes it to the disk; false on failure.
bool WriteWholeFile(const std::string& path, const std::string& content);
// Compares two ANSI texts without regard to case as the user's locale does (umlauts too).
bool SameText(const std::string& a, const std::string& b);
int CompareText(const std::string& a, const std::string& b);
// The locale's sort key of a text without regard to case: texts that SameText finds equal
// have equal keys, for lookups by hash.
std::string SameTextKey(const std::string& text);
std::string UpperCase(const std::string& s);
// Text in the ANSI code page as UTF-16 and as UTF-8.
std::wstring Widen(const std::string& ansi);
std::string Utf8(const std::string& ansi);

}  // namespace platform
