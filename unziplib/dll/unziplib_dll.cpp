// UNZIPLIB.DLL: the two entry points of the unzip library. The parameter block carries 32-bit
// addresses of the calling process: the product is 32-bit, and a 64-bit build only works with
// a caller whose block, texts and callback lie below 4 GB.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "parameter_block.h"
#include "unzip_abi.h"
#include "unzip_engine.h"
#include "win32_background.h"
#include "win32_files.h"

namespace {

constexpr int32_t kLibraryVersion = 160;

// Reads through the addresses in the block: they belong to this process.
class ProcessMemory : public unzip::CallerMemory {
 public:
  uint32_t Word(uint32_t address) override {
    uint32_t value = 0;
    std::memcpy(&value, unzipabi::FromAddress32<const void>(int32_t(address)), sizeof value);
    return value;
  }
  std::string Text(uint32_t address, size_t maxLength) override {
    const char* text = unzipabi::FromAddress32<const char>(int32_t(address));
    return std::string(text, strnlen(text, maxLength));
  }
};

// Passes every event to the caller's callback as a record.
class CallbackListener : public unzip::Listener {
 public:
  CallbackListener(uint32_t callback, uint32_t caller)
      : callback_(reinterpret_cast<unzipabi::UnzipCallback>(uintptr_t(callback))),
        caller_(caller),
        record_(unzipabi::record::kRecordSize) {}

  bool OnEvent(const unzip::Event& e) override {
    if (callback_ == nullptr) return true;
    namespace r = unzipabi::record;
    std::fill(record_.begin(), record_.end(), uint8_t(0));
    unzipabi::PutI32(&record_[r::kCaller], int32_t(caller_));
    unzipabi::PutI32(&record_[r::kAction], e.action);
    unzipabi::PutI32(&record_[r::kErrorCode], e.errorCode);
    unzipabi::PutI32(&record_[r::kSize], int32_t(e.size));
    std::memcpy(&record_[r::kText], e.text.data(), std::min(e.text.size(), r::kTextSize - 1));
    return callback_(record_.data()) != unzipabi::kStop;
  }

 private:
  unzipabi::UnzipCallback callback_;
  uint32_t caller_;
  std::vector<uint8_t> record_;
};

void Fail(unzip::Listener& listener, int32_t code, const std::string& text) {
  unzip::Event message;
  message.action = unzipabi::kMessage;
  message.errorCode = code;
  message.text = text;
  listener.OnEvent(message);
  unzip::Event end;
  end.action = unzipabi::kBatchEnd;
  listener.OnEvent(end);
}

int32_t Run(const uint8_t* block) {
  ProcessMemory memory;
  unzip::BlockContents contents;
  const unzip::BlockStatus status = unzip::ReadBlock(block, memory, contents);
  if (status == unzip::BlockStatus::kMissing) return 0;
  CallbackListener listener(contents.callback, contents.caller);
  if (status == unzip::BlockStatus::kWrongLayout) {
    Fail(listener, unzip::kErrParameters, "Parameter block not recognised");
    return 0;
  }
  if (status == unzip::BlockStatus::kNoArchiveName) {
    Fail(listener, unzip::kErrParameters, "No archive name given");
    return 0;
  }
  const std::unique_ptr<unzip::Win32FileInput> archive = unzip::Win32FileInput::Open(contents.archiveName);
  if (!archive) {
    Fail(listener, unzip::kErrArchive, "Cannot open archive: " + contents.archiveName);
    return 0;
  }
  unzip::Win32Sink sink;
  const unzip::Win32CodePages codePages;
  unzip::Win32Background background;
  return unzip::Extract(*archive, sink, listener, contents.options, codePages, background);
}

}  // namespace

extern "C" int32_t __stdcall UnzipExec(void* parameterBlock) {
  try {
    return Run(static_cast<const uint8_t*>(parameterBlock));
  } catch (...) {
    return 0;  // nothing may cross into the caller
  }
}

extern "C" int32_t __stdcall GetUnzipVersion() { return kLibraryVersion; }
