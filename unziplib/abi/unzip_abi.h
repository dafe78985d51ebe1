// The call interface between the archive component and the unzip library UNZIPLIB.DLL:
// byte offsets of the parameter block and of the callback record. Both sides are 32-bit
// programs, so every address in them is a 32-bit value. Free of Win32, so the layout is
// unit-tested natively; the function-pointer types are at the end, for Windows builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace unzipabi {

constexpr int32_t kCallerVersion = 152;
constexpr int32_t kLastOldLayoutVersion = 151;  // libraries up to this version read the old block
constexpr int32_t kFlagYes = -1;
constexpr int32_t kFlagNo = 0;
constexpr int32_t kStop = -1;     // callback result: stop the extraction
constexpr int32_t kContinue = 0;  // callback result: go on
constexpr int32_t kClosingMark = 7;
constexpr size_t kPasswordBufferSize = 81;  // 80 characters and the terminating zero

// Common head of the parameter block.
namespace block {
constexpr size_t kOwnerWindow = 0, kCaller = 4, kCallerVersion = 8, kCallback = 12, kTrace = 16, kPassword = 24,
                 kTest = 28, kAlwaysYes = 40, kVerbose = 44, kUpdate = 48, kFreshen = 52, kDirNames = 56,
                 kOverwrite = 60, kSpecCount = 64, kArchiveName = 68;
// Newer layout (library version above 151).
constexpr size_t kNewSize = 148, kNewSpecRecords = 72, kNewClosingMark = 144;
constexpr size_t kSpecRecordSize = 72;  // first field: address of the file-specification text
// Older layout (library version 151 or less).
constexpr size_t kOldSize = 16464, kOldClosingMark = 72, kOldSpecAddresses = 76;
constexpr size_t kOldMaxSpecs = (kOldSize - kOldSpecAddresses) / 4;
}  // namespace block

// Callback record filled by the library.
namespace record {
constexpr size_t kCaller = 4, kAction = 16, kErrorCode = 20, kSize = 24, kText = 28;
constexpr size_t kTextSize = 512;
constexpr size_t kRecordSize = kText + kTextSize;
}  // namespace record

enum Action : int32_t {
  kNewFile = 1,
  kFileProgress = 2,
  kBatchEnd = 3,
  kMessage = 4,
  kTotalFiles = 5,
  kTotalSize = 6,
};

// The error code of a message (action kMessage); 0 marks a warning. The caller tells its
// user why a member failed by these codes, not by the library's English texts.
namespace errors {
enum ErrorCode : int32_t {
  kNoError = 0,
  kErrArchive = 1,      // archive missing, unreadable, not a ZIP archive, damaged directory
  kErrUnsupported = 2,  // compression method, strong encryption, ZIP64
  kErrDamaged = 3,      // local header disagrees, overlapping or truncated data, bad data
  kErrCrc = 4,
  kErrPassword = 5,    // missing or wrong password
  kErrUnsafeName = 6,  // the name would write outside the extraction folder
  kErrWrite = 7,       // folder or file could not be written (disk full, access denied)
  kErrCancelled = 8,
  kErrParameters = 9,
  kErrInternal = 10,  // out of memory or another unexpected failure
  kErrName = 11,      // the name is not valid UTF-8 or has no form in the ANSI code page
};
}  // namespace errors
using namespace errors;

inline int32_t Flag(bool on) { return on ? kFlagYes : kFlagNo; }

inline void PutI32(uint8_t* p, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
}
inline int32_t GetI32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24));
}

// What the component puts into a block; addresses are 32-bit values of the calling process.
struct BlockValues {
  uint32_t ownerWindow = 0;
  uint32_t caller = 0;
  uint32_t callback = 0;
  uint32_t password = 0;  // address of the 81-byte password buffer
  bool trace = false;
  bool test = false;
  bool verbose = false;
  bool update = false;
  bool freshen = false;
  bool dirNames = false;
  bool overwrite = false;
  uint32_t archiveName = 0;
  // Newer layout: address of the array of 72-byte specification records.
  uint32_t specRecords = 0;
  // Both layouts: the addresses of the file-specification texts, in order.
  std::vector<uint32_t> specTexts;
};

// Bytes of the block for a library of `libraryVersion`. Verbose is also on whenever trace is;
// freshen is off whenever update is on. The older layout holds at most kOldMaxSpecs texts.
std::vector<uint8_t> BuildBlock(int32_t libraryVersion, const BlockValues& values);

// Bytes of the file-specification record array of the newer layout.
std::vector<uint8_t> BuildSpecRecords(const std::vector<uint32_t>& specTexts);

}  // namespace unzipabi

#ifdef _WIN32
#include <cstdlib>

namespace unzipabi {
using UnzipCallback = int32_t(__stdcall*)(void* callbackRecord);
using UnzipExecFn = int32_t(__stdcall*)(void* parameterBlock);
using GetUnzipVersionFn = int32_t(__stdcall*)();

// The block and the record carry 32-bit addresses. A 32-bit build fits by nature; the 64-bit
// build (images based below 4 GB) allocates everything it puts into the block with
// LowAlloc, whose memory lies below 2 GB. Address32 yields 0 for an address that does not
// fit, and FromAddress32 turns a field back into a pointer.
void* LowAlloc(size_t size);  // zero-filled; nullptr when no low memory is free
void LowFree(void* p);
inline uint32_t Address32(const void* p) {
  const uintptr_t a = reinterpret_cast<uintptr_t>(p);
  return a > 0xFFFFFFFFu ? 0u : static_cast<uint32_t>(a);
}
template <typename T>
T* FromAddress32(int32_t field) {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(static_cast<uint32_t>(field)));
}
}  // namespace unzipabi
#endif
