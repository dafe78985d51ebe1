// The error type of the program: raised by registry and profile writes and by Win32 calls
// that must succeed; the form framework catches it at the event dispatch and shows it.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace platform {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Formats a message with one "%s" placeholder.
std::string FormatText(const char* pattern, const std::string& arg);

// Raises Error with `what` and the system's text for GetLastError().
[[noreturn]] void ThrowLastError(const std::string& what);

inline void Check(BOOL ok, const char* what) {
  if (!ok) ThrowLastError(what);
}

}  // namespace platform
