// Folder links (symbolic links to folders) for tests that run under Wine as well as on
// Windows. Wine's CreateSymbolicLinkA only pretends; there a symbolic link of the host, made
// with its "ln", stands in: Wine shows it as a folder with a reparse point, as Windows shows
// a junction. Wine cannot wait for a host program through its handle, so its effect is
// polled, for at most ten seconds.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace testsupport {

inline bool IsFolderLink(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Wine's path of a file on the host; "" on Windows.
inline std::string HostPath(const std::string& path) {
  using UnixNameFn = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixNameFn>(reinterpret_cast<void (*)(void)>(
      ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return {};
  std::wstring wide(path.size() + 1, L'\0');
  wide.resize(size_t(::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], int(wide.size())) - 1));
  char* name = unixName(wide.c_str());
  const std::string result = name ? name : "";
  ::HeapFree(::GetProcessHeap(), 0, name);
  return result;
}

// Runs a program of the host (a path below Wine's drive Z:) until `done` holds.
inline bool RunOnHost(const std::string& program, std::string commandLine, const std::function<bool()>& done) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(("Z:" + program).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
    return false;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  for (int i = 0; i < 100 && !done(); ++i) ::Sleep(100);
  return done();
}

inline bool MakeFolderLink(const std::string& link, const std::string& folder) {
  ::CreateSymbolicLinkA(link.c_str(), folder.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
  return IsFolderLink(link) || RunOnHost("\\bin\\ln", "ln -s \"" + HostPath(folder) + "\" \"" + HostPath(link) + "\"",
                                         [&] { return IsFolderLink(link); });
}

// A symbolic link to a file, made on the host under Wine (which shows it as the file itself,
// without a reparse point); false on Windows, where it needs a privilege.
inline bool MakeFileLink(const std::string& link, const std::string& file) {
  const std::string host = HostPath(link);
  return !host.empty() && RunOnHost("\\bin\\ln", "ln -s \"" + HostPath(file) + "\" \"" + host + "\"",
                                    [&] { return ::GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

// On Windows RemoveDirectoryA removes the link itself. Wine's removes the folder the link
// points to when that is empty, and refuses otherwise; there the host's "rm" goes.
inline void RemoveFolderLink(const std::string& link) {
  if (!IsFolderLink(link)) return;
  const std::string host = HostPath(link);
  if (host.empty())
    ::RemoveDirectoryA(link.c_str());
  else
    RunOnHost("\\bin\\rm", "rm \"" + host + "\"", [&] { return !IsFolderLink(link); });
}

}  // namespace testsupport
