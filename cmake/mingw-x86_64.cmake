# Cross-compiling to 64-bit Windows with mingw-w64 (posix thread model): the build that runs
# under Wine on machines whose kernel runs no 32-bit Linux programs (Wine's 32-bit loader is
# one). The unzip library's call interface carries 32-bit addresses, so images are based
# below 4 GB and the interface's memory comes from a low-memory allocator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-Wl,--image-base=0x10000000 -Wl,--disable-dynamicbase -Wl,--disable-high-entropy-va")
set(CMAKE_SHARED_LINKER_FLAGS_INIT
    "-Wl,--image-base=0x30000000 -Wl,--disable-dynamicbase -Wl,--disable-high-entropy-va")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
