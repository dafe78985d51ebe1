// Extracts an archive through UNZIPLIB.DLL, as the archive component calls it, and prints the
// speed. Usage: unzip_bench_dll <archive> [extraction folder] [test|floor]
// With "test" the members are only checked, nothing is written. With "floor" the library is
// not used: the archive's files, with their names and sizes, are written by the plainest loop
// of the same calls (create, write, close), which is the floor of extracting on this system.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "member_directory.h"
#include "unzip_abi.h"
#include "win32_files.h"

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

std::wstring Wide(const std::string& path) {
  std::wstring wide(path.size(), L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), int(path.size()), &wide[0], int(wide.size()));
  wide.resize(size_t(n > 0 ? n : 0));
  for (wchar_t& c : wide)
    if (c == L'/') c = L'\\';
  return wide;
}

// The floor: every file of the archive written from one buffer, in the current folder.
int WriteLoop(const char* archivePath, int64_t& written) {
  const auto input = unzip::Win32FileInput::Open(archivePath);
  if (!input) return 0;
  const unzip::CentralDirectory directory = unzip::ReadCentralDirectory(*input);
  const std::vector<uint8_t> block(256 * 1024, 0x5A);
  int files = 0;
  std::set<std::wstring> folders;  // each made once, as the library does
  for (const unzip::Member& m : directory.members) {
    const std::wstring path = Wide(m.name);
    for (size_t slash = path.find(L'\\'); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
      if (folders.insert(path.substr(0, slash)).second) CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    if (m.IsFolder()) continue;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return files;
    for (uint32_t left = m.uncompressedSize; left > 0;) {
      DWORD done = 0;
      if (!WriteFile(h, block.data(), DWORD(std::min<size_t>(left, block.size())), &done, nullptr) || done == 0) break;
      left -= done;
    }
    CloseHandle(h);
    written += m.uncompressedSize;
    ++files;
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: unzip_bench_dll <archive> [extraction folder] [test|floor]\n");
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
  if (argc > 3 && std::strcmp(argv[3], "floor") == 0) {
    SetCurrentDirectoryA(folder.c_str());
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int64_t written = 0;
    const int files = WriteLoop(full, written);
    QueryPerformanceCounter(&end);
    const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    std::printf("plain create/write/close: %d files, %.1f MB in %.2f s: %.1f MB/s\n", files, double(written) / 1e6,
                seconds, double(written) / 1e6 / seconds);
    return files > 0 ? 0 : 1;
  }
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
  std::printf("UNZIPLIB.DLL: %d files, %.1f MB in %.2f s: %.1f MB/s\n", count, double(g_unpacked) / 1e6, seconds,
              double(g_unpacked) / 1e6 / seconds);
  for (void* p : owned) unzipabi::LowFree(p);
  FreeLibrary(module);
  return count > 0 ? 0 : 1;
}
