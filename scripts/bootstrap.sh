#!/usr/bin/env bash
# Installs the Debian packages that building and testing need. Does nothing when all are there.
#   bootstrap.sh        everything: the tests, the fuzzers, the other extractors the tests compare with,
#                       the signing tools make-medium runs
#   bootstrap.sh demo   only what scripts/demo.sh builds and runs
set -euo pipefail

packages=(
  cmake ninja-build g++ mingw-w64 libz-mingw-w64-dev libstb-dev googletest zlib1g-dev
  wine wine64 fonts-wine xvfb imagemagick
)
if [ "${1:-}" != demo ]; then
  packages+=(xdotool clang clang-format libclang-rt-14-dev p7zip-full libarchive-tools zip unzip python3 osslsigncode openssl)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "bootstrap: installing ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
