// A stand-in unzip library for the archive component's tests, built in several variants
// (TEST_UNZIP_VERSION; without one entry point). UnzipExec writes what it received into the
// file named by the environment variable TESTUNZIP_DUMP, then plays a fixed series of
// callbacks and stops when the callback answers -1:
//   the block's bytes (4-byte length first), then text lines ARCHIVE=, PASSWORD=, SPEC= (one
//   per specification), CWD= (the current folder during the call) and at the end
//   ANSWERS= (the callback's answers, comma-separated) and RESULT=.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "unzip_abi.h"

namespace {

struct Step {
  int32_t action;
  int32_t errorCode;
  int32_t size;
  const char* text;
};

// Total size, file count, two files with progress, a message with trailing blanks, the end,
// and an action the component does not know.
const Step kScript[] = {
    {unzipabi::kTotalSize, 0, 300, ""},
    {unzipabi::kTotalFiles, 0, 2, ""},
    {unzipabi::kNewFile, 0, 100, "sub/a.txt"},
    {unzipabi::kFileProgress, 0, 100, ""},
    {unzipabi::kMessage, 0x1234, 0, "Warnung in sub/a.txt  \r\n"},
    {unzipabi::kNewFile, 0, 200, "b.txt"},
    {unzipabi::kFileProgress, 0, 200, ""},
    {unzipabi::kBatchEnd, 0, 0, ""},
    {99, 0, 0, "unknown"},
};

std::string Text(int32_t address) {
  const char* p = unzipabi::FromAddress32<const char>(address);
  return p ? std::string(p) : std::string("<null>");
}

class Dump {
 public:
  Dump() {
    char path[MAX_PATH] = "";
    if (::GetEnvironmentVariableA("TESTUNZIP_DUMP", path, sizeof path))
      file_ = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  }
  ~Dump() {
    if (file_ != INVALID_HANDLE_VALUE) ::CloseHandle(file_);
  }
  void Bytes(const void* data, size_t size) {
    DWORD written;
    if (file_ != INVALID_HANDLE_VALUE) ::WriteFile(file_, data, DWORD(size), &written, nullptr);
  }
  void Line(const std::string& key, const std::string& value) {
    const std::string line = key + "=" + value + "\n";
    Bytes(line.data(), line.size());
  }

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

[[maybe_unused]] void DumpBlock(Dump& dump, const uint8_t* block) {
  namespace b = unzipabi::block;
  const bool newer = TEST_UNZIP_VERSION > unzipabi::kLastOldLayoutVersion;
  const uint32_t size = uint32_t(newer ? b::kNewSize : b::kOldSize);
  dump.Bytes(&size, sizeof size);
  dump.Bytes(block, size);
  dump.Line("ARCHIVE", Text(unzipabi::GetI32(block + b::kArchiveName)));
  dump.Line("PASSWORD", Text(unzipabi::GetI32(block + b::kPassword)));
  const int32_t count = unzipabi::GetI32(block + b::kSpecCount);
  const uint8_t* records = unzipabi::FromAddress32<const uint8_t>(unzipabi::GetI32(block + b::kNewSpecRecords));
  for (int32_t i = 0; i < count; ++i) {
    const int32_t text = newer ? unzipabi::GetI32(records + i * b::kSpecRecordSize)
                               : unzipabi::GetI32(block + b::kOldSpecAddresses + 4 * i);
    dump.Line("SPEC", Text(text));
  }
  char folder[MAX_PATH] = "";
  ::GetCurrentDirectoryA(sizeof folder, folder);
  dump.Line("CWD", folder);
}

}  // namespace

#ifndef TEST_UNZIP_WITHOUT_EXEC
extern "C" __declspec(dllexport) int32_t __stdcall UnzipExec(void* parameterBlock) {
  const uint8_t* block = static_cast<const uint8_t*>(parameterBlock);
  Dump dump;
  DumpBlock(dump, block);
  const auto callback = reinterpret_cast<unzipabi::UnzipCallback>(
      uintptr_t(uint32_t(unzipabi::GetI32(block + unzipabi::block::kCallback))));
  std::vector<uint8_t> record(unzipabi::record::kRecordSize);
  std::string answers;
  int32_t files = 0;
  for (const Step& step : kScript) {
    std::fill(record.begin(), record.end(), uint8_t(0));
    std::memcpy(&record[unzipabi::record::kCaller], block + unzipabi::block::kCaller, 4);
    unzipabi::PutI32(&record[unzipabi::record::kAction], step.action);
    unzipabi::PutI32(&record[unzipabi::record::kErrorCode], step.errorCode);
    unzipabi::PutI32(&record[unzipabi::record::kSize], step.size);
    std::memcpy(&record[unzipabi::record::kText], step.text, std::strlen(step.text));
    if (step.action == unzipabi::kNewFile) ++files;
    const int32_t answer = callback(record.data());
    answers += std::to_string(answer) + ",";
    if (answer == unzipabi::kStop) break;
  }
  dump.Line("ANSWERS", answers);
  dump.Line("RESULT", std::to_string(files));
  return files;
}
#endif

#ifndef TEST_UNZIP_WITHOUT_VERSION
extern "C" __declspec(dllexport) int32_t __stdcall GetUnzipVersion() { return TEST_UNZIP_VERSION; }
#endif
