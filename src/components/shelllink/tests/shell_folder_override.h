// Points the current user's shell-folder values at test folders and restores them after.
// "User Shell Folders" is set alike: the shell writes "Shell Folders" afresh from it when it
// looks a folder up, which would otherwise undo the test's value in the middle of a test.
#pragma once

#include "handle.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace shelllink::testing {

class ShellFolderOverride {
 public:
  static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  static constexpr const char* kUserKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

  ShellFolderOverride() = default;
  ShellFolderOverride(const ShellFolderOverride&) = delete;
  ShellFolderOverride& operator=(const ShellFolderOverride&) = delete;
  // Every value touched gets back what it held before the first change.
  ~ShellFolderOverride() {
    for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
      if (saved->value) {
        WriteValue(saved->key, saved->name, saved->value->type, saved->value->data.data(),
                   DWORD(saved->value->data.size()));
      } else {
        DeleteValue(saved->key, saved->name);
      }
    }
  }

  // Sets a folder's path in both keys.
  void Set(const char* name, const std::string& value, DWORD type = REG_SZ) {
    Write(kKey, name, type, value.c_str(), DWORD(value.size() + 1));
    Write(kUserKey, name, type, value.c_str(), DWORD(value.size() + 1));
  }

  // Sets the "Shell Folders" value alone, of any type.
  void SetRaw(const char* name, DWORD type, const void* data, DWORD size) { Write(kKey, name, type, data, size); }

  // Removes the "Shell Folders" value alone.
  void Remove(const char* name) {
    Remember(kKey, name);
    DeleteValue(kKey, name);
  }

 private:
  struct Value {
    DWORD type = 0;
    std::vector<BYTE> data;
  };
  struct Saved {
    std::string key;
    std::string name;
    std::optional<Value> value;
  };

  void Remember(const std::string& key, const std::string& name) {
    for (const Saved& saved : saved_) {
      if (saved.key == key && saved.name == name) return;
    }
    saved_.push_back({key, name, ReadValue(key, name)});
  }

  void Write(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
    Remember(key, name);
    WriteValue(key, name, type, data, size);
  }

  static void WriteValue(const std::string& path, const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      return;
    platform::UniqueHkey owner(key);
    ::RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  }

  static void DeleteValue(const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    platform::UniqueHkey owner(key);
    ::RegDeleteValueA(key, name.c_str());
  }

  static std::optional<Value> ReadValue(const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    platform::UniqueHkey owner(key);
    Value v;
    DWORD size = 0;
    if (::RegQueryValueExA(key, name.c_str(), nullptr, &v.type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    v.data.resize(size);
    if (::RegQueryValueExA(key, name.c_str(), nullptr, &v.type, v.data.data(), &size) != ERROR_SUCCESS)
      return std::nullopt;
    return v;
  }

  std::vector<Saved> saved_;
};

}  // namespace shelllink::testing
