#include "host.h"

#include <windows.h>
#include <io.h>
#include <shellapi.h>

#include <memory>

namespace medium::host {

namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], n);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &utf8[0], n, nullptr, nullptr);
  return utf8;
}

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

struct FindCloser {
  void operator()(HANDLE h) const { ::FindClose(h); }
};

}  // namespace

std::vector<std::string> Arguments(int, char**) {
  int count = 0;
  std::unique_ptr<LPWSTR, decltype(&::LocalFree)> wide(::CommandLineToArgvW(::GetCommandLineW(), &count), &::LocalFree);
  std::vector<std::string> arguments;
  for (int i = 0; wide && i < count; ++i) arguments.push_back(Utf8(wide.get()[i]));
  return arguments;
}

ConsoleText::ConsoleText() : previousCodePage_(::GetConsoleOutputCP()) {
  if (previousCodePage_ != 0) ::SetConsoleOutputCP(CP_UTF8);
}

ConsoleText::~ConsoleText() {
  if (previousCodePage_ != 0) ::SetConsoleOutputCP(previousCodePage_);
}

bool IsTerminal(std::FILE* stream) {
  DWORD mode = 0;
  return ::GetConsoleMode(HANDLE(::_get_osfhandle(::_fileno(stream))), &mode) != 0;
}

bool Environment(const std::string& name, std::string& value) {
  const std::wstring wideName = Wide(name);
  const DWORD size = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (size == 0) return false;
  std::wstring wide(size, L'\0');
  wide.resize(::GetEnvironmentVariableW(wideName.c_str(), &wide[0], size));
  value = Utf8(wide);
  return true;
}

namespace {

std::time_t UnixTime(const FILETIME& ft) {
  const ULONGLONG ticks = (ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  const ULONGLONG kUnixEpochTicks = 116444736000000000ULL;  // 1970-01-01 in 100 ns since 1601
  return ticks < kUnixEpochTicks ? 0 : std::time_t((ticks - kUnixEpochTicks) / 10000000ULL);
}

// Junctions and symbolic links lead elsewhere; other reparse points (cloud placeholders) are
// the folder itself.
bool IsFolderLink(const WIN32_FIND_DATAW& found) {
  return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         (found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT || found.dwReserved0 == IO_REPARSE_TAG_SYMLINK);
}

TreeEntry Describe(const WIN32_FIND_DATAW& found, const std::string& name) {
  TreeEntry e;
  e.name = name;
  e.modified = UnixTime(found.ftLastWriteTime);
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    e.kind = IsFolderLink(found) ? TreeEntry::kFolderLink : TreeEntry::kFolder;
  else if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE))
    e.kind = TreeEntry::kFile;
  return e;
}

bool ListingFailed(std::string& error) {
  error = "Windows error " + std::to_string(::GetLastError());
  return false;
}

bool ListBelow(const std::wstring& folder, const std::string& prefix, std::vector<TreeEntry>& entries,
               std::string& error) {
  WIN32_FIND_DATAW found{};
  std::unique_ptr<void, FindCloser> find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                                            FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (find.get() == INVALID_HANDLE_VALUE) {
    find.release();
    return ListingFailed(error);
  }
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back(Describe(found, prefix + Utf8(name)));
    if (entries.back().kind == TreeEntry::kFolder &&
        !ListBelow(folder + L"\\" + name, entries.back().name + "/", entries, error))
      return false;
  } while (::FindNextFileW(find.get(), &found));
  return ::GetLastError() == ERROR_NO_MORE_FILES || ListingFailed(error);
}

}  // namespace

bool ListTree(const std::string& folder, std::vector<TreeEntry>& entries, std::string& error) {
  std::wstring root = Wide(folder);
  while (root.size() > 3 && (root.back() == L'\\' || root.back() == L'/')) root.pop_back();
  return ListBelow(root, "", entries, error);
}

// The user's temporary folder is open to that user alone.
PrivateFolder::PrivateFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return;
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::wstring folder = std::wstring(temp) + L"make-medium-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                std::to_wstring(::GetTickCount() + attempt);
    if (::CreateDirectoryW(folder.c_str(), nullptr)) {
      path_ = Utf8(folder);
      return;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

namespace {

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsFolderLink(found))
        RemoveTree(path);
      else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        ::RemoveDirectoryW(path.c_str());
      else
        ::DeleteFileW(path.c_str());
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

PrivateFolder::~PrivateFolder() {
  if (!path_.empty()) RemoveTree(Wide(path_));
}

bool WritePrivateFile(const std::string& path, const std::string& bytes) {
  Handle file(
      ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

namespace {

// One argument as the C runtime's parser splits the command line again.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
  std::wstring out = L"\"";
  for (size_t i = 0;; ++i) {
    size_t backslashes = 0;
    for (; i < argument.size() && argument[i] == L'\\'; ++i) ++backslashes;
    if (i == argument.size()) {
      out.append(backslashes * 2, L'\\');
      break;
    }
    out.append(argument[i] == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    out += argument[i];
  }
  return out + L"\"";
}

}  // namespace

int Run(const std::vector<std::string>& command, std::string& output) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherited, 0)) return -1;
  Handle reader(readEnd), writer(writeEnd);
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  Handle nothing(
      ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr));

  std::wstring line;
  for (const std::string& argument : command) line += (line.empty() ? L"" : L" ") + Quoted(Wide(argument));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nothing.get();
  si.hStdOutput = si.hStdError = writeEnd;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(Wide(command[0]).c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &si, &pi))
    return -1;
  Handle process(pi.hProcess), thread(pi.hThread);
  writer.reset();  // the child's copy keeps the pipe open until it ends
  char buffer[4096];
  DWORD n = 0;
  while (::ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) output.append(buffer, n);
  ::WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  return ::GetExitCodeProcess(pi.hProcess, &code) ? int(code) : -1;
}

}  // namespace medium::host
