// Reads a shell link back through the shell's link object, for tests.
#pragma once

#include "handle.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

namespace shelllink::testing {

struct LinkContents {
  bool loaded = false;
  std::string target;
  std::string arguments;
  std::string workingDirectory;
};

inline LinkContents ReadLink(const std::string& path) {
  LinkContents contents;
  platform::ComPtr<IShellLinkA> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void())))
    return contents;
  platform::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return contents;
  const int size = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(size > 0 ? size : 1, L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), size);
  if (FAILED(file->Load(wide.data(), STGM_READ))) return contents;
  contents.loaded = true;
  char buffer[INFOTIPSIZE] = "";
  if (SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH))) contents.target = buffer;
  buffer[0] = '\0';
  if (SUCCEEDED(link->GetArguments(buffer, INFOTIPSIZE))) contents.arguments = buffer;
  buffer[0] = '\0';
  if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH))) contents.workingDirectory = buffer;
  return contents;
}

}  // namespace shelllink::testing
