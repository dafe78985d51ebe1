#include "machine_state.h"

#include <windows.h>

#include <cstdio>

namespace e2e {

namespace {

bool StartsWithFolded(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && ::_strnicmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

std::string Hex(const BYTE* bytes, DWORD size) {
  std::string hex;
  char pair[3];
  for (DWORD i = 0; i < size; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    hex += pair;
  }
  return hex;
}

}  // namespace

MachineState::MachineState(std::vector<std::string> ignored) : ignored_(std::move(ignored)) {
  AddFiles("C:");
  AddKeys(HKEY_LOCAL_MACHINE, "Software", "HKLM\\Software");
  AddKeys(HKEY_CURRENT_USER, "", "HKCU");
}

bool MachineState::Ignored(const std::string& name) const {
  for (const std::string& place : ignored_)
    if (StartsWithFolded(name, place)) return true;
  return false;
}

void MachineState::AddFiles(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = data.cFileName;
    const std::string path = folder + "\\" + name;
    if (name == "." || name == ".." || Ignored(path)) continue;
    const bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    char details[96];
    std::snprintf(details, sizeof details, "attributes %lx size %lu written %lx%08lx", data.dwFileAttributes,
                  isFolder ? 0ul : data.nFileSizeLow, isFolder ? 0ul : data.ftLastWriteTime.dwHighDateTime,
                  isFolder ? 0ul : data.ftLastWriteTime.dwLowDateTime);
    entries_[path + (isFolder ? "\\" : "")] = details;
    if (isFolder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) AddFiles(path);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
}

void MachineState::AddKeys(void* rootHandle, const std::string& path, const std::string& shown) {
  HKEY root = static_cast<HKEY>(rootHandle);
  HKEY key = nullptr;
  if (Ignored(shown) || ::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  entries_[shown + "\\"] = "key";
  char name[16384];
  std::vector<BYTE> data(1 << 16);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, dataSize = DWORD(data.size()), type = 0;
    const LONG rc = ::RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(), &dataSize);
    if (rc == ERROR_MORE_DATA) {
      data.resize(dataSize);
      --i;
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    const std::string value = shown + "\\" + name;
    if (!Ignored(value)) entries_[value] = std::to_string(type) + " " + Hex(data.data(), dataSize);
  }
  std::vector<std::string> subkeys;
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    if (::RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.push_back(name);
  }
  ::RegCloseKey(key);
  for (const std::string& subkey : subkeys)
    AddKeys(root, path.empty() ? subkey : path + "\\" + subkey, shown + "\\" + subkey);
}

std::vector<std::string> MachineState::ChangesSince(const MachineState& earlier) const {
  std::vector<std::string> changes;
  for (const auto& [name, details] : entries_) {
    const auto before = earlier.entries_.find(name);
    if (before == earlier.entries_.end())
      changes.push_back("+ " + name);
    else if (before->second != details)
      changes.push_back("~ " + name + ": " + before->second + " -> " + details);
  }
  for (const auto& [name, details] : earlier.entries_)
    if (!entries_.count(name)) changes.push_back("- " + name);
  return changes;
}

}  // namespace e2e
