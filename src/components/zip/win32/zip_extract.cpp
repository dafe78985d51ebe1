// TZipArchive::Extract: the extraction through the unzip library and its callback.
#include <windows.h>

#include <exception>
#include <memory>
#include <stdexcept>

#include "ZipArchive.h"
#include "application.h"
#include "callback_record.h"
#include "files.h"
#include "name_conversion.h"
#include "parameter_block.h"
#include "private_folder.h"
#include "unzip_library.h"
#include "zip_messages.h"

namespace {

// Entered by the library during UnzipExec, on the same thread. Nothing may be thrown back
// into the library.
int32_t __stdcall UnzipCallback(void* record) {
  try {
    const zipcore::CallbackEvent event = zipcore::DecodeCallbackRecord(static_cast<const uint8_t*>(record));
    TZipArchive* zip = TZipArchive::FromCaller(event.caller);
    return zip ? zip->LibraryCallback(event) : unzipabi::kContinue;
  } catch (...) {
    return unzipabi::kStop;
  }
}

// The block carries the callback's address in 32 bits: the program's image lies below 4 GB.
uint32_t CallbackAddress() {
  const uintptr_t address = reinterpret_cast<uintptr_t>(&UnzipCallback);
  if (address > 0xFFFFFFFFu) throw std::runtime_error("the unzip callback lies above 4 GB");
  return uint32_t(address);
}

// The folder for the joined copy of a set of parts: a private folder of its own below the
// temporary folder, which no user may enter, rename or replace while the elevated setup
// installs from it, removed with the copy afterwards. Null after a reported failure.
std::unique_ptr<platform::PrivateFolder> JoinFolder(TZipArchive& zip) {
  const std::string base =
      zip.TempDir.empty() ? platform::TempFolder() : platform::IncludeTrailingBackslash(zip.TempDir);
  try {
    if (!base.empty()) return std::make_unique<platform::PrivateFolder>(base, "zip-");
    zip.ReportMessage(zipmsg::kTempFileName);
  } catch (const platform::Error& e) {
    zip.ReportMessage(zipmsg::kTempFileName, std::string("\n") + e.what());
  }
  return nullptr;
}

}  // namespace

void TZipArchive::Extract() {
  successCount_ = 0;
  if (!platform::FileExists(zipFilename_)) {
    ReportMessage(zipmsg::kNoArchiveFile);
    return;
  }
  if (busy_) return;
  if (Unattended && AddOptions.Contains(AddEncrypt) && password_.empty()) {
    password_ = zipcore::PasswordPlaceholder();
    ReportMessage(zipmsg::kPasswordPlaceholder);
  }
  busy_ = true;
  Cancel = false;
  // However the run ends: the file specifications are used up, the state is idle again.
  struct CleanUp {
    TZipArchive& zip;
    ~CleanUp() {
      zip.fSpecArgs_.clear();
      zip.Cancel = false;
      zip.busy_ = false;
    }
  } cleanUp{*this};
  try {
    RunExtraction();
  } catch (...) {
    ReportMessage(zipmsg::kLibraryFailure);
  }
}

void TZipArchive::RunExtraction() {
  ziparchive::LibraryUse library(dllDirectory_, Trace, [this](int id) { ReportMessage(id); });
  if (!library.Usable()) return;

  std::string archive = zipFilename_;
  std::unique_ptr<platform::PrivateFolder> joinFolder;
  // The joined copy stays open, for reading only, until the library is done with it.
  platform::UniqueFile joined;
  if (endDiskNumber_ != 0) {
    joinFolder = JoinFolder(*this);
    if (!joinFolder) return;
    std::string path = joinFolder->Path();
    if (ReadSpan(zipFilename_, path) != 0) return;
    joined = platform::OpenSameFile(path, joinedIdentity_);
    if (!joined) {
      ReportMessage(zipmsg::kJoinedFileReplaced);
      return;
    }
    archive = path;
  }
  try {
    if (platform::DirectoryExists(ExtrBaseDir)) platform::SetCurrentFolder(ExtrBaseDir);
    const int32_t version = library.Library().Version();
    unzipabi::BlockValues values;
    values.ownerWindow = Unattended ? 0u : uint32_t(reinterpret_cast<uintptr_t>(ownerWindow_));
    values.caller = callerId_;
    values.callback = CallbackAddress();
    values.trace = Trace;
    values.test = ExtrOptions.Contains(ExtrTest);
    values.verbose = Verbose;
    values.update = ExtrOptions.Contains(ExtrUpdate);
    values.freshen = ExtrOptions.Contains(ExtrFreshen);
    values.dirNames = ExtrOptions.Contains(ExtrDirNames);
    values.overwrite = ExtrOptions.Contains(ExtrOverWrite);
    ziparchive::ParameterBlock block(version, values, archive, password_, fSpecArgs_);
    callbackFailed_ = false;
    callbackFailure_.clear();
    successCount_ = library.Library().Exec(block.Address());
    if (callbackFailed_) ReportMessage(zipmsg::kLibraryFailure, callbackFailure_);
  } catch (...) {
    ReportMessage(zipmsg::kLibraryFailure);
  }
}

int32_t TZipArchive::LibraryCallback(const zipcore::CallbackEvent& event) {
  try {
    switch (event.action) {
      case unzipabi::kNewFile: FireProgress(ptFileStart, zipfmt::ToBackslashes(event.text), event.size); break;
      case unzipabi::kFileProgress: FireProgress(ptFileProgress, std::string(), event.size); break;
      case unzipabi::kBatchEnd: FireProgress(ptBatchEnd, std::string(), 0); break;
      case unzipabi::kMessage: {
        message_ = zipcore::CleanLibraryMessage(event.text);
        if (event.errorCode != 0) {
          errCode_ = event.errorCode & 0xFF;
          libraryErrCode_ = event.errorCode;
        }
        const std::string text = message_;
        if (OnMessage) forms::Application::Instance().Dispatch([&] { OnMessage(this, event.errorCode, text); });
        break;
      }
      case unzipabi::kTotalFiles: FireProgress(ptTotalFiles, std::string(), event.size); break;
      case unzipabi::kTotalSize:
        totalSize_ = event.size;
        FireProgress(ptTotalSize, std::string(), event.size);
        break;
      default: break;
    }
  } catch (const std::exception& e) {
    callbackFailed_ = true;
    callbackFailure_ = std::string("\n") + e.what();
    return unzipabi::kStop;
  } catch (...) {
    callbackFailed_ = true;
    return unzipabi::kStop;
  }
  // The one point where user input is handled during the extraction.
  const bool stop = Cancel;
  forms::Application& app = forms::Application::Instance();
  app.ProcessMessages();
  // The program is ending (the user chose to quit meanwhile): nothing more may be extracted.
  return stop || app.Terminated() ? unzipabi::kStop : unzipabi::kContinue;
}

int TZipArchive::LibraryVersion() {
  ziparchive::LibraryUse library(dllDirectory_, Trace, [this](int id) { ReportMessage(id); });
  return library.Usable() ? library.Library().Version() : 0;
}
