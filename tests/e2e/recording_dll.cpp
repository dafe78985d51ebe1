// A DLL that records being loaded: it leaves "<its own path>.loaded" beside itself. The
// security test plants it in a medium under the names of system DLLs.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameA(self, path, MAX_PATH - 8);
  if (n == 0 || n >= MAX_PATH - 8) return TRUE;
  ::lstrcpyA(path + n, ".loaded");
  HANDLE marker = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
  return TRUE;
}
