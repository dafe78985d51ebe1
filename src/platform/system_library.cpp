#include "system_library.h"

#include <string>

namespace platform {

void RestrictDllSearch() {
  // Windows 7 has SetDefaultDllDirectories only with an update installed.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto setDefault =
      EntryPoint<SetDefaultDllDirectoriesFn>(::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
  if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // Without it, at least the current folder leaves the search.
  ::SetDllDirectoryA("");
}

HMODULE LoadSystemLibrary(const char* name) {
  // The plain name with the search flag keeps the manifest's side-by-side redirection
  // (common controls 6), which a full path would bypass.
  if (HMODULE module = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  if (::GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  // A system without the search flags refuses them: the full path into the system folder.
  char folder[MAX_PATH];
  const UINT n = ::GetSystemDirectoryA(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  return ::LoadLibraryA((std::string(folder, n) + "\\" + name).c_str());
}

}  // namespace platform
