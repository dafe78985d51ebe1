// Registry access, one accessor per use: choose the root, open the key (creating it for
// everything written), read or write, release. Key paths are used literally below the root,
// with or without a leading backslash.
#pragma once

#include "handle.h"

#include <cstdint>
#include <string>

namespace platform {

class Registry {
 public:
  explicit Registry(HKEY root) : root_(root) {}

  // Opens a key for reading; false when it does not exist (nothing is created).
  bool OpenKeyReadOnly(const std::string& path);
  // Opens a key for reading and writing, creating it and its missing parents; false when that
  // fails. A key that could not be opened reads empty, and a write raises the write error
  // that names the value.
  bool OpenKey(const std::string& path);
  // Opens an existing key for reading and writing; false when it does not exist or cannot
  // be opened so (nothing is created).
  bool OpenExistingKey(const std::string& path);
  void Close() { key_.reset(); }

  // A string or expandable-string value as stored; "" when the value or the key is missing.
  // A value of another type raises Error.
  std::string ReadString(const std::string& name) const;

  // Writes raise Error "Konnte Daten für '<name>' nicht setzen" when the value cannot be set.
  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int32_t value);
  void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

  // A value of any type as stored: its type and bytes; false when it is missing.
  bool ReadRaw(const std::string& name, uint32_t& type, std::string& bytes) const;
  // Writes a value of any type; raises the write error as the other writes do.
  void WriteRaw(const std::string& name, uint32_t type, const std::string& bytes);

  bool HasValue(const std::string& name) const;
  // Deletes a value of the open key; true when it is gone afterwards (also when it was missing).
  bool DeleteValue(const std::string& name);
  // Whether the open key holds neither values nor subkeys.
  bool IsEmpty() const;
  // Deletes a key that has no subkeys; true when it is gone afterwards.
  static bool DeleteKey(HKEY root, const std::string& path);

 private:
  static std::string Relative(const std::string& path);
  bool Open(const std::string& path, REGSAM access, bool create);
  void Write(const std::string& name, DWORD type, const void* data, DWORD size);

  HKEY root_;
  UniqueHkey key_;
};

}  // namespace platform
