// TZipArchive::ReadSpan: the parts of a multi-disk or multi-part set joined into one
// ordinary archive, which Extract then hands to the library.
#include <windows.h>
#include <shellapi.h>

#include <new>

#include "ZipArchive.h"
#include "application.h"
#include "drive_parts.h"
#include "files.h"
#include "span_join.h"
#include "zip_messages.h"

namespace {

// The joined archive as a file of its own, created at once.
class JoinedFile : public span::JoinSink {
 public:
  // A file made under a unique name never replaces one that happens to carry it already.
  JoinedFile(const std::string& path, bool replace)
      : file_(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, replace ? CREATE_ALWAYS : CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!file_) throw EZipArchive(zipmsg::kCreateJoined, true);
  }

  bool Write(const void* data, size_t size) override {
    DWORD written = 0;
    const bool ok = ::WriteFile(file_.get(), data, DWORD(size), &written, nullptr) && written == size;
    position_ += written;
    return ok;
  }
  uint64_t Position() const override { return position_; }

  // Gives the file the archive's date and closes it; returns which file it was.
  platform::FileIdentity Close(const FILETIME& modified) {
    if (!file_) return {};
    if (modified.dwLowDateTime || modified.dwHighDateTime) ::SetFileTime(file_.get(), nullptr, nullptr, &modified);
    const platform::FileIdentity identity = platform::IdentityOf(file_.get());
    file_.reset();
    return identity;
  }

 private:
  platform::UniqueFile file_;
  uint64_t position_ = 0;
};

// The join's events as the component's OnProgress and OnMessage.
class ComponentEvents : public span::JoinEvents {
 public:
  explicit ComponentEvents(TZipArchive& zip) : zip_(zip) {}

  void OnProgress(ProgressType type, const std::string& name, int64_t size) override {
    if (zip_.OnProgress) zip_.OnProgress(&zip_, type, name, int(size));
  }
  void OnMessage(int errCode, const std::string& text) override {
    if (zip_.OnMessage) forms::Application::Instance().Dispatch([&] { zip_.OnMessage(&zip_, errCode, text); });
  }

 private:
  TZipArchive& zip_;
};

// Deletes a file through the shell, silently, into the recycle bin when undo is wanted.
void ShellDelete(const std::string& path, bool allowUndo) {
  std::string from = path;
  from.push_back('\0');  // the list ends with a second zero
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | (allowUndo ? FOF_ALLOWUNDO : 0);
  ::SHFileOperationA(&op);
}

// The joined file's name: a given file name (an existing file of that name is deleted) or a
// new unique name in a given folder (ending in "\"), with the extension ".zip" either way.
// Nothing names no place to write: never the current folder.
std::string JoinedFileName(const std::string& requested, bool allowUndo) {
  if (requested.empty()) throw EZipArchive(zipmsg::kTempFileName, true);
  std::string name = requested;
  if (!requested.empty() && requested.back() == '\\') {
    char unique[MAX_PATH];
    if (!::GetTempFileNameA(requested.c_str(), "zip", 0, unique)) throw EZipArchive(zipmsg::kTempFileName, true);
    ::DeleteFileA(unique);
    name = unique;
  } else if (platform::FileExists(requested)) {
    ShellDelete(requested, allowUndo);
  }
  return platform::ChangeFileExt(name, ".zip");
}

}  // namespace

int TZipArchive::ReadSpan(const std::string& archiveName, std::string& joinedPath) {
  // Extract is busy throughout; a join of its own is busy while it runs.
  const bool wasBusy = busy_;
  busy_ = true;
  int result = 0;
  std::string target;
  joinedIdentity_ = {};
  {
    forms::BusyCursor cursor;
    try {
      const bool inFolder = !joinedPath.empty() && joinedPath.back() == '\\';
      const std::string name = JoinedFileName(joinedPath, HowToDelete == htdAllowUndo);
      JoinedFile joined(name, !inFolder);
      target = name;
      ziparchive::DriveParts parts(*this, archiveName);
      ComponentEvents events(*this);
      span::JoinParts(parts, joined, events);
      joinedIdentity_ = joined.Close(parts.LastPartTime());
    } catch (const EZipArchive& e) {
      ReportError(e);
      result = -7;
    } catch (const zipfmt::ZipError& e) {
      ReportError(EZipArchive(e));
      result = -7;
    } catch (const std::bad_alloc&) {
      ReportMessage(zipmsg::kOutOfMemory);
      result = -8;
    } catch (...) {
      ReportMessage(zipmsg::kUnknownJoinError);
      result = -9;
    }
  }
  if (result == 0) {
    joinedPath = target;
  } else {
    if (!target.empty()) ::DeleteFileA(target.c_str());
    joinedPath.clear();
  }
  busy_ = wasBusy;
  return result;
}
