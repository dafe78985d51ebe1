#!/usr/bin/env bash
# Lends the dialog tests a drive R: in their Wine prefix, or takes it away again:
#   lent_drive.sh add | lent_drive.sh remove
# R: is a fresh folder beside the prefix, linked in dosdevices; what a test writes into its
# root goes with the folder.
set -eu
source "$(dirname "$0")/../../../scripts/wine-env.sh"
talvenor_wine_prefix
folder="$(dirname "$WINEPREFIX")/dialogs-drive"
link="$WINEPREFIX/dosdevices/r:"
case "${1:-}" in
  add)
    rm -rf "$folder"
    mkdir -p "$folder"
    ln -sfn "$folder" "$link"
    ;;
  remove)
    rm -f "$link"
    rm -rf "$folder"
    ;;
  *)
    echo "usage: $0 add | remove" >&2
    exit 2
    ;;
esac
