#include "unzip_abi.h"

#include <windows.h>

namespace unzipabi {

// Reserves from the lowest free region at or above 64 KiB that fits, below 2 GB. A 32-bit
// process needs no search: every address fits.
void* LowAlloc(size_t size) {
  if (size == 0) size = 1;
  if (sizeof(void*) == 4) return ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  const uintptr_t kLimit = 0x80000000u;
  uintptr_t at = 0x10000;
  while (at + size < kLimit) {
    MEMORY_BASIC_INFORMATION mbi;
    if (!::VirtualQuery(reinterpret_cast<void*>(at), &mbi, sizeof mbi)) break;
    const uintptr_t base = reinterpret_cast<uintptr_t>(mbi.BaseAddress);
    const uintptr_t end = base + mbi.RegionSize;
    if (mbi.State == MEM_FREE) {
      const uintptr_t start = (at + 0xFFFF) & ~uintptr_t(0xFFFF);  // allocation granularity
      if (start + size <= end) {
        if (void* p = ::VirtualAlloc(reinterpret_cast<void*>(start), size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE))
          return p;
      }
    }
    at = end > at ? end : at + 0x10000;
  }
  return nullptr;
}

void LowFree(void* p) {
  if (p) ::VirtualFree(p, 0, MEM_RELEASE);
}

}  // namespace unzipabi
