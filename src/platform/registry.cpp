#include "registry.h"

#include "error.h"

#include <vector>

namespace platform {

std::string Registry::Relative(const std::string& path) {
  return (!path.empty() && path[0] == '\\') ? path.substr(1) : path;
}

// Opens (or, with `create`, creates) the key; the registry access is released on failure.
bool Registry::Open(const std::string& path, REGSAM access, bool create) {
  HKEY key = nullptr;
  const std::string relative = Relative(path);
  const LONG rc = create ? ::RegCreateKeyExA(root_, relative.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr)
                         : ::RegOpenKeyExA(root_, relative.c_str(), 0, access, &key);
  key_.reset(rc == ERROR_SUCCESS ? key : nullptr);
  return rc == ERROR_SUCCESS;
}

bool Registry::OpenKeyReadOnly(const std::string& path) { return Open(path, KEY_READ, false); }
bool Registry::OpenKey(const std::string& path) { return Open(path, KEY_READ | KEY_WRITE, true); }
bool Registry::OpenExistingKey(const std::string& path) { return Open(path, KEY_READ | KEY_WRITE, false); }

bool Registry::HasValue(const std::string& name) const {
  return key_ && ::RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool Registry::DeleteValue(const std::string& name) {
  if (!key_) return false;
  const LONG rc = ::RegDeleteValueA(key_.get(), name.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool Registry::IsEmpty() const {
  DWORD subkeys = 0, values = 0;
  if (!key_ || ::RegQueryInfoKeyA(key_.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                  nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subkeys == 0 && values == 0;
}

bool Registry::DeleteKey(HKEY root, const std::string& path) {
  const LONG rc = ::RegDeleteKeyA(root, Relative(path).c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

std::string Registry::ReadString(const std::string& name) const {
  if (!key_) return {};
  DWORD type = 0, size = 0;
  if (::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw Error(FormatText("Ungültiger Datentyp für '%s'", name));
  std::vector<char> data(size + 1, '\0');
  if (::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS)
    return {};
  return std::string(data.data());
}

void Registry::Write(const std::string& name, DWORD type, const void* data, DWORD size) {
  if (!key_ ||
      ::RegSetValueExA(key_.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
    throw Error(FormatText("Konnte Daten für '%s' nicht setzen", name));
}

bool Registry::ReadRaw(const std::string& name, uint32_t& type, std::string& bytes) const {
  DWORD kind = 0, size = 0;
  if (!key_ || ::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &kind, nullptr, &size) != ERROR_SUCCESS)
    return false;
  bytes.assign(size, '\0');
  if (::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &kind, reinterpret_cast<BYTE*>(&bytes[0]), &size) !=
      ERROR_SUCCESS)
    return false;
  bytes.resize(size);
  type = kind;
  return true;
}

void Registry::WriteRaw(const std::string& name, uint32_t type, const std::string& bytes) {
  Write(name, type, bytes.data(), DWORD(bytes.size()));
}

void Registry::WriteString(const std::string& name, const std::string& value) {
  Write(name, REG_SZ, value.c_str(), DWORD(value.size() + 1));
}

void Registry::WriteInteger(const std::string& name, int32_t value) { Write(name, REG_DWORD, &value, sizeof value); }

}  // namespace platform
