#!/usr/bin/env bash
# Checks that every tracked C++ source keeps the style of .clang-format; with --fix, formats
# them in place.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mode=(--dry-run --Werror)
[ "${1:-}" = --fix ] && mode=(-i)
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --style=file "${mode[@]}"
