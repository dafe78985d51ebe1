// Extracts an archive through UNZIPLIB.DLL, as the archive component calls it, and prints the
// speed. Usage: unzip_bench_dll <archive> [extraction folder] [test]
// With "test" the members are only checked, nothing is written.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "unzip_abi.h"

namespace {

int64_t g_unpacked = 0;

int32_t __stdcall CountingCallback(void* record) {
  const uint8_t* p = static_cast<const uint8_t*>(record);
  const int32_t action = unzipabi::GetI32(p + unzipabi::record::kAction);
  if (action == unzipabi::kNewFile) g_unpacked += uint32_t(unzipabi::GetI32(p + unzipabi::record::kSize));
  if (action == unzipabi::kMessage)
    std::fprintf(stderr, "library: %s\n", reinterpret_cast<const char*>(p + unzipabi::record::kText));
  return unzipabi::kContinue;
}

// A zero-terminated copy below 4 GB, as the block's 32-bit fields need.
uint32_t LowCopy(const void* bytes, size_t size, std::vector<void*>& owned) {
  void* p = unzipabi::LowAlloc(size);
  if (p == nullptr) return 0;
  std::memcpy(p, bytes, size);
  owned.push_back(p);
  return unzipabi::Address32(p);
}

template <typename Fn>
Fn Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: unzip_bench_dll <archive> [extraction folder]\n");
    return 2;
  }
  char full[MAX_PATH];
  if (GetFullPathNameA(argv[1], MAX_PATH, full, nullptr) == 0) return 2;
  std::string folder;
  if (argc > 2) {
    folder = argv[2];
  } else {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "unzip-bench-dll";
  }
  CreateDirectoryA(folder.c_str(), nullptr);
  HMODULE module = LoadLibraryA("UNZIPLIB.DLL");
  if (module == nullptr) {
    std::fprintf(stderr, "UNZIPLIB.DLL not found\n");
    return 1;
  }
  auto exec = Entry<unzipabi::UnzipExecFn>(module, "UnzipExec");
  auto version = Entry<unzipabi::GetUnzipVersionFn>(module, "GetUnzipVersion");

  std::vector<void*> owned;
  const char spec[] = "*.*";
  const char password[unzipabi::kPasswordBufferSize] = "";
  unzipabi::BlockValues v;
  v.callback = unzipabi::Address32(reinterpret_cast<const void*>(&CountingCallback));
  v.password = LowCopy(password, sizeof password, owned);
  v.archiveName = LowCopy(full, std::strlen(full) + 1, owned);
  v.dirNames = true;
  v.overwrite = true;
  v.test = argc > 3 && std::strcmp(argv[3], "test") == 0;
  v.specTexts.push_back(LowCopy(spec, sizeof spec, owned));
  const std::vector<uint8_t> records = unzipabi::BuildSpecRecords(v.specTexts);
  v.specRecords = LowCopy(records.data(), records.size(), owned);
  const std::vector<uint8_t> block = unzipabi::BuildBlock(version(), v);
  void* lowBlock = unzipabi::LowAlloc(block.size());
  std::memcpy(lowBlock, block.data(), block.size());
  owned.push_back(lowBlock);

  SetCurrentDirectoryA(folder.c_str());
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const int32_t count = exec(lowBlock);
  QueryPerformanceCounter(&end);
  const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
  std::printf("UNZIPLIB.DLL: %d files, %.1f MB in %.2f s: %.1f MB/s\n", count,
              double(g_unpacked) / 1e6, seconds, double(g_unpacked) / 1e6 / seconds);
  for (void* p : owned) unzipabi::LowFree(p);
  FreeLibrary(module);
  return count > 0 ? 0 : 1;
}
