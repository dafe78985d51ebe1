#!/usr/bin/env bash
# The main job: builds setup.exe and the demo medium and starts setup on it under Wine.
# With a display, setup runs in a live window (Wine's 1024x768 desktop) until you finish or
# cancel it. Without one, it runs on a private Xvfb: the demo walker clicks through every
# window as a user would and saves a screenshot of each into build/win/demo-screenshots.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh" demo

source "$root/scripts/wine-env.sh"
medium="$TALVENOR_BUILD/medium"
# Wine makes its prefix while the programs are built.
talvenor_wine_prefix &
prefix_job=$!

# Only what the demo runs: make-medium natively; setup.exe, UNZIPLIB.DLL, UnInstall.exe, the
# walker and the medium for Windows. scripts/test.sh builds everything.
source "$root/scripts/trees.sh"
jobs=$(nproc)
talvenor_configure_native
cmake --build "$root/build/native" -j "$jobs" --target make-medium
talvenor_configure_windows "$TALVENOR_BUILD" mingw-x86_64.cmake
cmake --build "$TALVENOR_BUILD" -j "$jobs" --target demo_medium demo_walk
wait "$prefix_job"
echo "demo: built and ready after ${SECONDS} s; starting setup"

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting setup from $medium"
  cd "$medium"
  "$WINE" setup.exe </dev/null >"$TALVENOR_BUILD/demo.log" 2>&1
  wineserver -w
  exit 0
fi

trap talvenor_stop_wine EXIT
talvenor_start_xvfb
shots="$TALVENOR_BUILD/demo-screenshots"
rm -rf "$shots" && mkdir -p "$shots"
walker="$TALVENOR_BUILD/bin/demo_walk.exe"
if [ -f "$walker" ]; then
  "$root/scripts/wine-run.sh" "$walker" "$("$WINE" winepath -w "$medium" </dev/null 2>/dev/null | tr -d '\r')" \
      "$("$WINE" winepath -w "$shots" </dev/null 2>/dev/null | tr -d '\r')"
else
  (cd "$medium" && "$WINE" setup.exe </dev/null >"$TALVENOR_BUILD/demo.log" 2>&1 &)
  sleep 10
  import -window root "$shots/setup.png"
fi
for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
echo "Screenshots of the demo run:"
ls -1 "$shots"
