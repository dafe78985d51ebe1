// Points the current user's shell-folder values at test folders and restores them after.
#pragma once

#include "handle.h"

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace shelllink::testing {

class ShellFolderOverride {
 public:
  static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

  explicit ShellFolderOverride(std::initializer_list<const char*> names) {
    for (const char* name : names) saved_.emplace_back(name, Save(name));
  }
  ShellFolderOverride(const ShellFolderOverride&) = delete;
  ShellFolderOverride& operator=(const ShellFolderOverride&) = delete;
  ~ShellFolderOverride() {
    for (const auto& [name, value] : saved_) {
      if (value) SetRaw(name, value->type, value->data.data(), DWORD(value->data.size()));
      else Remove(name);
    }
  }

  static void Set(const char* name, const std::string& value, DWORD type = REG_SZ) {
    SetRaw(name, type, value.c_str(), DWORD(value.size() + 1));
  }

  static void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
      return;
    platform::UniqueHkey owner(key);
    ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  }

  static void Remove(const char* name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    platform::UniqueHkey owner(key);
    ::RegDeleteValueA(key, name);
  }

 private:
  struct Value {
    DWORD type = 0;
    std::vector<BYTE> data;
  };

  static std::optional<Value> Save(const char* name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
      return std::nullopt;
    platform::UniqueHkey owner(key);
    Value v;
    DWORD size = 0;
    if (::RegQueryValueExA(key, name, nullptr, &v.type, nullptr, &size) != ERROR_SUCCESS)
      return std::nullopt;
    v.data.resize(size);
    if (::RegQueryValueExA(key, name, nullptr, &v.type, v.data.data(), &size) != ERROR_SUCCESS)
      return std::nullopt;
    return v;
  }

  std::vector<std::pair<const char*, std::optional<Value>>> saved_;
};

}  // namespace shelllink::testing
