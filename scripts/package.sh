#!/usr/bin/env bash
# Writes the demo medium for 64-bit and for 32-bit Windows into dist/, one ZIP archive each:
# dist/talvenor-medium-win64.zip and dist/talvenor-medium-win32.zip. make-medium writes and
# verifies each medium; the 32-bit programs come from build/win32.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh" demo
source "$root/scripts/trees.sh"
jobs=$(nproc)
talvenor_configure_native
cmake --build "$root/build/native" -j "$jobs" --target make-medium

dist="$root/dist"
mkdir -p "$dist"
for variant in win64:build/win:mingw-x86_64.cmake win32:build/win32:mingw-i686.cmake; do
  IFS=: read -r name tree toolchain <<<"$variant"
  talvenor_configure_windows "$root/$tree" "$toolchain"
  cmake --build "$root/$tree" -j "$jobs" --target demo_medium
  # The same medium gives the same archive: sorted names, one time stamp.
  folder="talvenor-medium-$name"
  staging="$(mktemp -d)"
  cp -r "$root/$tree/medium" "$staging/$folder"
  archive="$dist/$folder.zip"
  rm -f "$archive"
  (cd "$staging" && find "$folder" -type f | LC_ALL=C sort |
     xargs cmake -E tar cf "$archive" --format=zip "--mtime=2001-05-04 12:00:00 UTC" --)
  rm -rf "$staging"
  echo "$archive"
done
