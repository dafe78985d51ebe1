// UTF-8 text, such as the logs of setup and the uninstaller, in the ANSI code page in which the
// tests name paths and texts.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

inline std::string AnsiFromUtf8(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(size_t(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], int(wide.size()))));
  std::string ansi(wide.size() * 2, '\0');
  ansi.resize(size_t(
      ::WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), &ansi[0], int(ansi.size()), nullptr, nullptr)));
  return ansi;
}

}  // namespace testsupport
