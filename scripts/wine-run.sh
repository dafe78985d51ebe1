#!/usr/bin/env bash
# Runs one Windows program under Wine (ctest's cross-compiling emulator).
# Output goes through a file: Wine's background processes would keep a pipe open.
source "$(dirname "$0")/wine-env.sh"
[ -n "${DISPLAY:-}" ] || { echo "wine-run: DISPLAY is not set (start Xvfb first)" >&2; exit 2; }
talvenor_wine_prefix
# Wine's 32-bit loader is a 32-bit Linux program, which this machine's kernel does not run.
if [ -f "$1" ] && objdump -f "$1" 2>/dev/null | grep -q 'pei-i386'; then
  echo "wine-run: $1 is a 32-bit Windows program; 32-bit Linux programs (Wine's 32-bit loader)" \
       "do not run on this machine. Build with cmake/mingw-x86_64.cmake to run it under Wine." >&2
  exit 2
fi
log=$(mktemp)
"$WINE" "$@" >"$log" 2>&1 </dev/null
rc=$?
# The prefix of another resolution has a desktop of its own on the same display: it goes with
# its program, so that it never covers the desktop of the next test.
if [ -n "${TALVENOR_DPI:-}" ] && [ "$TALVENOR_DPI" != 96 ]; then
  wineserver -k >/dev/null 2>&1
  timeout 30 wineserver -w >/dev/null 2>&1
fi
cat "$log"
rm -f "$log"
exit $rc
