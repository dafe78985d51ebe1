#!/usr/bin/env bash
# Runs one Windows program under Wine (ctest's cross-compiling emulator).
# Output goes through a file: Wine's background processes would keep a pipe open.
source "$(dirname "$0")/wine-env.sh"
[ -n "${DISPLAY:-}" ] || { echo "wine-run: DISPLAY is not set (start Xvfb first)" >&2; exit 2; }
talvenor_wine_prefix
log=$(mktemp)
wine "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
exit $rc
