#!/usr/bin/env bash
# Installs the Debian packages that building and testing need. Does nothing when all are there.
set -euo pipefail

packages=(
  cmake ninja-build mingw-w64 libz-mingw-w64-dev libstb-dev googletest
  wine wine64 fonts-wine xvfb imagemagick xdotool
  clang libclang-rt-14-dev zlib1g-dev
  p7zip-full libarchive-tools zip unzip python3
)

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
