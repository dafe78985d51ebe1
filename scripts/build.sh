#!/usr/bin/env bash
# Configures and builds both trees: build/native (portable core, tests) and build/win (the product).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs=$(nproc)
cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/native" -j "$jobs"
cmake -S "$root" -B "$root/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
cmake --build "$root/build/win" -j "$jobs"
# The 32-bit programs of the medium are compiled as well; this machine cannot run them.
cmake -S "$root" -B "$root/build/win32" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$root/build/win32" -j "$jobs" --target setup unziplib uninstall
