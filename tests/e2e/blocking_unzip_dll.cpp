// A stand-in UNZIPLIB.DLL for the tests that end setup from outside in the middle of its run:
// it passes every call on to the real library, which lies beside it as UNZIPREAL.DLL, and
// holds setup still at a chosen point of the extraction. The point is the first line of
// "block-at.txt" beside it: a member's name with backslashes (before setup hears of that
// member) or "*end"
// (the end of the extraction, before setup writes its list of files); no file, no point.
// When it holds, it leaves "blocked.txt" beside itself.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>

#include "unzip_abi.h"

namespace {

HMODULE g_self = nullptr;
unzipabi::UnzipCallback g_setupCallback = nullptr;
std::string g_blockAt;

std::string BesideMe(const char* name) {
  char path[MAX_PATH] = "";
  const DWORD n = ::GetModuleFileNameA(g_self, path, MAX_PATH);
  std::string folder(path, n);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

template <typename Fn>
Fn RealEntry(const char* name) {
  static const HMODULE real = ::LoadLibraryA(BesideMe("UNZIPREAL.DLL").c_str());
  return real ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(real, name))) : nullptr;
}

bool IsBlockPoint(const uint8_t* record) {
  namespace r = unzipabi::record;
  const int32_t action = unzipabi::GetI32(record + r::kAction);
  if (g_blockAt == "*end") return action == unzipabi::kBatchEnd;
  std::string name = reinterpret_cast<const char*>(record + r::kText);
  std::replace(name.begin(), name.end(), '/', '\\');
  return action == unzipabi::kNewFile && name == g_blockAt;
}

int32_t __stdcall HoldingCallback(void* record) {
  if (!g_blockAt.empty() && IsBlockPoint(static_cast<const uint8_t*>(record))) {
    std::ofstream(BesideMe("blocked.txt")) << g_blockAt;
    ::Sleep(120000);  // the test ends setup long before
  }
  return g_setupCallback(record);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_self = self;
  return TRUE;
}

extern "C" int32_t __stdcall UnzipExec(void* parameterBlock) {
  const auto exec = RealEntry<unzipabi::UnzipExecFn>("UnzipExec");
  if (!exec) return 0;
  std::ifstream point(BesideMe("block-at.txt"));
  g_blockAt.clear();
  std::getline(point, g_blockAt);
  if (!g_blockAt.empty() && g_blockAt.back() == '\r') g_blockAt.pop_back();
  uint8_t* block = static_cast<uint8_t*>(parameterBlock);
  g_setupCallback = reinterpret_cast<unzipabi::UnzipCallback>(
      uintptr_t(uint32_t(unzipabi::GetI32(block + unzipabi::block::kCallback))));
  unzipabi::PutI32(block + unzipabi::block::kCallback,
                   int32_t(unzipabi::Address32(reinterpret_cast<const void*>(&HoldingCallback))));
  return exec(parameterBlock);
}

extern "C" int32_t __stdcall GetUnzipVersion() {
  const auto version = RealEntry<unzipabi::GetUnzipVersionFn>("GetUnzipVersion");
  return version ? version() : 0;
}
