#!/usr/bin/env bash
# Writes into dist/:
#  - the demo medium for 64-bit and for 32-bit Windows, one ZIP archive each:
#    talvenor-medium-win64.zip and talvenor-medium-win32.zip, written and verified by
#    make-medium; the 32-bit programs come from build/win32;
#  - the package for packagers, for Windows and for Linux:
#    talvenor-packager-<version>-win64.zip and talvenor-packager-<version>-linux-x86_64.tar.gz,
#    each with the builder (make-medium.exe or make-medium), the three programs of the medium
#    in win64/ and win32/, the two language files, medium/README.md and docs/packaging.md.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh" demo
source "$root/scripts/trees.sh"
jobs=$(nproc)
version=$(sed -n 's/^project(Talvenor VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
talvenor_configure_native
cmake --build "$root/build/native" -j "$jobs" --target make-medium

dist="$root/dist"
mkdir -p "$dist"
staging="$(mktemp -d)"
trap 'rm -rf "$staging"' EXIT
packager="talvenor-packager-$version"

# archive FILE FOLDER: the folder below the staging folder as a .zip or .tar.gz archive. The
# same files give the same archive: sorted names, one time stamp.
archive() {
  local file=$1 folder=$2 mode=(cf "$1" --format=zip)
  [[ "$file" == *.tar.gz ]] && mode=(czf "$file")
  rm -f "$file"
  (cd "$staging" && find "$folder" -type f | LC_ALL=C sort |
     xargs cmake -E tar "${mode[@]}" "--mtime=2001-05-04 12:00:00 UTC" --)
  echo "$file"
}

for variant in win64:build/win:mingw-x86_64.cmake win32:build/win32:mingw-i686.cmake; do
  IFS=: read -r name tree toolchain <<<"$variant"
  talvenor_configure_windows "$root/$tree" "$toolchain"
  cmake --build "$root/$tree" -j "$jobs" --target demo_medium
  folder="talvenor-medium-$name"
  cp -r "$root/$tree/medium" "$staging/$folder"
  archive "$dist/$folder.zip" "$folder"
  mkdir -p "$staging/$packager/$name"
  cp "$root/$tree/bin/setup.exe" "$root/$tree/bin/UnInstall.exe" "$root/$tree/medium-bin/UNZIPLIB.DLL" \
     "$staging/$packager/$name/"
done

cmake --build "$root/build/win" -j "$jobs" --target make-medium
mkdir -p "$staging/$packager/medium" "$staging/$packager/docs"
cp "$root/medium/german.lng" "$root/medium/english.lng" "$staging/$packager/"
cp "$root/medium/README.md" "$staging/$packager/medium/"
cp "$root/docs/packaging.md" "$staging/$packager/docs/"

cp "$root/build/win/bin/make-medium.exe" "$staging/$packager/"
archive "$dist/$packager-win64.zip" "$packager"
rm "$staging/$packager/make-medium.exe"
cp "$root/build/native/bin/make-medium" "$staging/$packager/"
archive "$dist/$packager-linux-x86_64.tar.gz" "$packager"
