#include "log_file.h"

#include "error.h"
#include "files.h"

#include <windows.h>

#include <cstdio>

namespace install {

namespace {

// Opening the name itself, not what a link of that name points to.
constexpr DWORD kOwnName = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;

// A message of several lines stays one line of the log: each run of line breaks becomes " | ".
std::string OneLine(const std::string& text) {
  std::string line;
  bool lineBreak = false;
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      lineBreak = true;
      continue;
    }
    if (lineBreak && !line.empty()) line += " | ";
    lineBreak = false;
    line += c;
  }
  return line;
}

std::string LocalTime(const char* format) {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  char text[32];
  std::snprintf(text, sizeof text, format, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
  return text;
}

// Windows's own version: GetVersionEx answers what the manifest admits to.
std::string WindowsVersion() {
  struct VersionInfo {
    ULONG size, major, minor, build, platform;
    WCHAR servicePack[128];
  } info{sizeof(VersionInfo), 0, 0, 0, 0, {}};
  using RtlGetVersionFn = LONG(WINAPI*)(VersionInfo*);
  const auto getVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
  if (!getVersion || getVersion(&info) != 0) return "?";
  return std::to_string(info.major) + "." + std::to_string(info.minor) + "." + std::to_string(info.build);
}

}  // namespace

LogFile LogFile::Replace(const std::string& path) {
  platform::UniqueFile file(
      ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, kOwnName, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  const bool plainFile = file && ::GetFileInformationByHandle(file.get(), &info) &&
                         !(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
                         info.nNumberOfLinks <= 1;
  if (!plainFile || !::SetEndOfFile(file.get()))
    throw platform::Error(platform::FormatText("Das Protokoll %s kann nicht geschrieben werden.", path));
  return LogFile(std::move(file), path);
}

LogFile LogFile::CreateNew(const std::string& name) {
  const std::string stem = platform::TempFolder() + name + " " + LocalTime("%04u-%02u-%02u") + " #";
  for (int number = 1; number < 10000; ++number) {
    const std::string path = stem + std::to_string(number) + ".txt";
    platform::UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, kOwnName, nullptr));
    if (file) return LogFile(std::move(file), path);
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  throw platform::Error(platform::FormatText("Das Protokoll %s kann nicht angelegt werden.", stem + "1.txt"));
}

void LogFile::Line(const std::string& text) {
  if (!file_) return;
  const std::string line = LocalTime("%04u-%02u-%02u %02u:%02u:%02u.%03u ") + platform::Utf8(OneLine(text)) + "\r\n";
  DWORD written = 0;
  ::WriteFile(file_.get(), line.data(), DWORD(line.size()), &written, nullptr);
}

void LogFile::StartLines(const std::string& program) {
  Line("Befehlszeile: " + std::string(::GetCommandLineA()));
  Line(program + ", Version " TALVENOR_VERSION);
  Line("Windows-Version: " + WindowsVersion());
}

}  // namespace install
