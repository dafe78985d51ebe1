// The unzip library UNZIPLIB.DLL, loaded at run time: one module per process, shared by every
// archive component.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "handle.h"
#include "system_library.h"
#include "unzip_abi.h"

namespace ziparchive {

constexpr char kLibraryName[] = "UNZIPLIB.DLL";

using platform::EntryPoint;

// The library's path: `folder`\UNZIPLIB.DLL, "" when there is no such file. The library is
// never looked for by its plain name: the system's search would take the first file of that
// name it finds (the current folder, PATH), which need not be the medium's.
std::string LibraryPath(const std::string& folder);

class UnzipLibrary {
 public:
  static UnzipLibrary& Instance();

  bool Loaded() const { return static_cast<bool>(module_); }
  // Loads the library from LibraryPath(folder) with the system's error boxes suppressed.
  // Messages go to `report`: 10704 when it is missing or cannot be loaded, 10701 with `trace`, 10702 and
  // 10703 for a missing entry point, after which the library is released again as unusable.
  // Returns whether the library is loaded and usable; never throws.
  bool Load(const std::string& folder, bool trace, const std::function<void(int id)>& report);
  void Release();

  int32_t Version() const { return version_(); }
  int32_t Exec(void* parameterBlock) const { return exec_(parameterBlock); }

 private:
  UnzipLibrary() = default;

  platform::UniqueModule module_;
  unzipabi::UnzipExecFn exec_ = nullptr;
  unzipabi::GetUnzipVersionFn version_ = nullptr;
};

// Loads the library for one use unless it is loaded, and releases it afterwards when this
// use loaded it.
class LibraryUse {
 public:
  LibraryUse(const std::string& folder, bool trace, const std::function<void(int id)>& report);
  LibraryUse(const LibraryUse&) = delete;
  LibraryUse& operator=(const LibraryUse&) = delete;
  ~LibraryUse();

  bool Usable() const { return usable_; }
  UnzipLibrary& Library() const { return UnzipLibrary::Instance(); }

 private:
  bool loadedHere_ = false;
  bool usable_ = false;
};

}  // namespace ziparchive
