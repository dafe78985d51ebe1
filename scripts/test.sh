#!/usr/bin/env bash
# Installs what is missing, builds both trees and runs every test: the native unit tests,
# then the Windows unit and end-to-end tests under Wine on a private Xvfb.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh" || exit 1
"$root/scripts/build.sh" || exit 1

source "$root/scripts/wine-env.sh"
unset DISPLAY
trap talvenor_stop_wine EXIT
talvenor_start_xvfb || exit 1
talvenor_wine_prefix

status=0
echo "== source format"
"$root/scripts/check-format.sh" || { echo "sources differ from .clang-format: scripts/check-format.sh --fix"; status=1; }
echo "== native tests"
ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)" || status=1
echo "== Windows tests under Wine"
ctest --test-dir "$root/build/win" --output-on-failure || status=1
exit $status
