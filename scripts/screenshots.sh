#!/usr/bin/env bash
# Makes the screenshots under docs/screenshots again: runs the end-to-end tests with
# TALVENOR_SCREENSHOTS set, so they save the screen at their key moments, and converts the
# pictures to PNG. The high-resolution walk (e2e_high_dpi_tests, in its prefix of 144 pixels
# per inch) gives the hidpi-* pictures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh" >/dev/null

source "$root/scripts/wine-env.sh"
unset DISPLAY
trap talvenor_stop_wine EXIT
talvenor_start_xvfb
talvenor_wine_prefix

shots="$TALVENOR_BUILD/screenshots"
rm -rf "$shots" && mkdir -p "$shots"
export TALVENOR_SCREENSHOTS="$("$WINE" winepath -w "$shots" 2>/dev/null </dev/null | tr -d '\r')"
export WINEDEBUG=-all
# Wine passes the variable on to the Windows programs.
ctest --test-dir "$TALVENOR_BUILD" -R '^(e2e_|progress_tests)' --output-on-failure || true

mkdir -p "$root/docs/screenshots"
for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "$root/docs/screenshots/$(basename "${bmp%.bmp}").png"
done
ls "$root/docs/screenshots"
