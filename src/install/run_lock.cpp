#include "run_lock.h"

#include <windows.h>

namespace install {

std::wstring RunLock::MutexName(const std::string& programEntry) {
  // Registry key names ignore case and a leading backslash; a mutex name may hold no backslash
  // after its namespace.
  std::string key = programEntry.substr(std::min(programEntry.find_first_not_of('\\'), programEntry.size()));
  std::wstring name = L"Global\\Talvenor Setup ";
  const int size = ::MultiByteToWideChar(CP_ACP, 0, key.c_str(), int(key.size()), nullptr, 0);
  std::wstring wide(size_t(size), L'\0');
  if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, key.c_str(), int(key.size()), &wide[0], size);
  if (!wide.empty()) ::CharUpperBuffW(&wide[0], DWORD(wide.size()));
  for (wchar_t& c : wide)
    if (c == L'\\') c = L'/';
  return (name + wide).substr(0, MAX_PATH - 1);
}

RunLock::RunLock(const std::string& programEntry) {
  mutex_.reset(::CreateMutexW(nullptr, TRUE, MutexName(programEntry).c_str()));
  // Another process made it first: it holds it, and this one owns nothing.
  held_ = mutex_ && ::GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace install
