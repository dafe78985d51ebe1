#include "unzip_library.h"

#include "files.h"
#include "zip_messages.h"

namespace ziparchive {

namespace {

// Critical-error and fault boxes of the system stay away while a module is looked for.
class QuietErrorMode {
 public:
  QuietErrorMode() { ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX); }
  QuietErrorMode(const QuietErrorMode&) = delete;
  QuietErrorMode& operator=(const QuietErrorMode&) = delete;
  ~QuietErrorMode() { ::SetErrorMode(0); }
};

}  // namespace

std::string LibraryPath(const std::string& folder) {
  const std::string path = folder + "\\" + kLibraryName;
  return !folder.empty() && platform::FileExists(path) ? path : std::string();
}

UnzipLibrary& UnzipLibrary::Instance() {
  static UnzipLibrary library;
  return library;
}

bool UnzipLibrary::Load(const std::string& folder, bool trace, const std::function<void(int id)>& report) {
  try {
    Release();
    const std::string path = LibraryPath(folder);
    if (!path.empty()) {
      QuietErrorMode quiet;
      module_.reset(::LoadLibraryA(path.c_str()));
    }
    if (!module_) {
      report(zipmsg::kLibraryNotFound);
      return false;
    }
    if (trace) report(zipmsg::kLibraryLoaded);
    exec_ = EntryPoint<unzipabi::UnzipExecFn>(module_.get(), "UnzipExec");
    version_ = EntryPoint<unzipabi::GetUnzipVersionFn>(module_.get(), "GetUnzipVersion");
    if (!exec_) report(zipmsg::kNoUnzipExec);
    if (!version_) report(zipmsg::kNoUnzipVersion);
    if (exec_ && version_) return true;
  } catch (...) {
    // A failure while loading ends with its message; the library is not used.
  }
  Release();
  return false;
}

void UnzipLibrary::Release() {
  module_.reset();
  exec_ = nullptr;
  version_ = nullptr;
}

LibraryUse::LibraryUse(const std::string& folder, bool trace, const std::function<void(int id)>& report) {
  UnzipLibrary& library = UnzipLibrary::Instance();
  if (library.Loaded()) {
    usable_ = true;
    return;
  }
  loadedHere_ = true;
  usable_ = library.Load(folder, trace, report);
}

LibraryUse::~LibraryUse() {
  if (loadedHere_) UnzipLibrary::Instance().Release();
}

}  // namespace ziparchive
