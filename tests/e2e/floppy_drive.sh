#!/usr/bin/env bash
# Lends the e2e tests a removable drive A: in their Wine prefix, or takes it away again:
#   floppy_drive.sh add LABEL | floppy_drive.sh remove
# A: is a folder beside the prefix, linked in dosdevices and typed "floppy" in the registry,
# with LABEL as its volume label. Wine reads drive types when its server starts, so the
# script waits for the server to end before the next program runs.
set -eu
source "$(dirname "$0")/../../scripts/wine-env.sh"
talvenor_wine_prefix
folder="$(dirname "$WINEPREFIX")/e2e-floppy"
link="$WINEPREFIX/dosdevices/a:"
timeout 60 wineserver -w || true
case "${1:-}" in
  add)
    rm -rf "$folder"
    mkdir -p "$folder"
    printf '%s\n' "${2:?volume label}" >"$folder/.windows-label"
    ln -sfn "$folder" "$link"
    timeout 120 "$WINE" reg add 'HKLM\Software\Wine\Drives' /v 'a:' /d floppy /f >/dev/null 2>&1 </dev/null
    ;;
  remove)
    rm -f "$link"
    timeout 120 "$WINE" reg delete 'HKLM\Software\Wine\Drives' /v 'a:' /f >/dev/null 2>&1 </dev/null || true
    rm -rf "$folder"
    ;;
  *)
    echo "usage: $0 add LABEL | remove" >&2
    exit 2
    ;;
esac
timeout 60 wineserver -w || true
