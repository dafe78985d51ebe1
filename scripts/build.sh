#!/usr/bin/env bash
# Configures and builds every tree: build/native (portable core, tests, make-medium),
# build/win (the product, its tests and the demo medium) and build/win32.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/trees.sh"
jobs=$(nproc)
talvenor_configure_native
cmake --build "$root/build/native" -j "$jobs"
talvenor_configure_windows "$root/build/win" mingw-x86_64.cmake
cmake --build "$root/build/win" -j "$jobs"
# The 32-bit tree is compiled whole, tests and benchmarks included, so that nothing in it
# rots; this machine cannot run it, the 64-bit tree's medium_binaries_check reads its programs.
talvenor_configure_windows "$root/build/win32" mingw-i686.cmake
cmake --build "$root/build/win32" -j "$jobs"
