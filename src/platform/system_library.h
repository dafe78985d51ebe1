// Where the programs of the medium take their DLLs from. A medium often lies in a download
// or shared folder where anyone can drop a file; Windows would load a DLL of a name it looks
// for from the program's own folder first, unless the name is a Known DLL. So the programs
// import only Known DLLs, load every other system DLL through LoadSystemLibrary, and restrict
// the search before anything else happens.
#pragma once

#include <windows.h>

namespace platform {

// Limits the DLL search of this process to the system folder, also for the DLLs that the
// system loads later on the program's behalf. Call it first thing in WinMain.
void RestrictDllSearch();

// A DLL from the system folder (or the side-by-side version the manifest asks for), never one
// beside the program; nullptr when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// An entry point of a loaded module as a typed function pointer (GCC wants the detour
// through void(*)(void) between unrelated function-pointer types).
template <typename Fn>
Fn EntryPoint(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(::GetProcAddress(module, name)));
}

}  // namespace platform
