#!/usr/bin/env bash
# Builds the instrumented fuzz tree (build/fuzz, clang) and runs each fuzzer for the given
# number of seconds, one after the other, starting from its seed corpus in the repository and
# the corpus that earlier runs grew in build/fuzz/corpus. Prints each fuzzer's coverage and a
# summary; a finding ends the script with a non-zero status and names the file that reproduces it
# (replay: build/fuzz/<path of the fuzzer> <that file>).
#   scripts/fuzz.sh SECONDS [FUZZER ...]     fuzzers: lang_fuzz span_fuzz zip_list_fuzz unzip_fuzzer
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"

# name, binary below the build tree, seed folder below the source tree
fuzzers=(
  "lang_fuzz src/lang/lang_fuzz src/lang/fuzz/seeds"
  "span_fuzz src/components/span/span_fuzz src/components/span/fuzz/seeds"
  "zip_list_fuzz src/components/zipformat/zip_list_fuzz src/components/zipformat/fuzz/seeds"
  "unzip_fuzzer unziplib/fuzz/unzip_fuzzer unziplib/fuzz/seeds"
)

seconds="${1:-}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: $0 SECONDS [FUZZER ...]" >&2
  exit 2
fi
shift
chosen=("$@")
if [ ${#chosen[@]} -eq 0 ]; then
  for f in "${fuzzers[@]}"; do chosen+=("${f%% *}"); done
fi

entry_of() {
  local f
  for f in "${fuzzers[@]}"; do
    [ "${f%% *}" = "$1" ] && { echo "$f"; return 0; }
  done
  echo "fuzz: unknown fuzzer $1" >&2
  return 1
}
for name in "${chosen[@]}"; do entry_of "$name" >/dev/null; done

"$root/scripts/bootstrap.sh"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALVENOR_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build "$build" --target "${chosen[@]}"

# The unzip fuzzer extracts into a folder below TMPDIR: one of our own, in memory when possible.
scratch="$(mktemp -d "$( [ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/talvenor-fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

summary=()
status=0
for name in "${chosen[@]}"; do
  read -r _ binary seeds <<<"$(entry_of "$name")"
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  log="$build/logs/$name.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  echo "== $name: ${seconds}s"
  # New inputs go to the first folder; the seeds in the repository are only read.
  set +e
  TMPDIR="$scratch" "$build/$binary" "$corpus" "$root/$seeds" \
    -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"$log" 2>&1
  result=$?
  set -e
  last="$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1)"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  [ -n "$runs" ] || runs="$(sed -n 's/^#\([0-9]*\).*/\1/p' <<<"$last")"
  edges="$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")"
  features="$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")"
  units="$(sed -n 's/.* corp: \([0-9]*\)\/.*/\1/p' <<<"$last")"
  line="$(printf '%-14s runs %10s  edges %6s  features %6s  corpus %5s' \
    "$name" "${runs:-?}" "${edges:-?}" "${features:-?}" "${units:-?}")"
  if [ "$result" -ne 0 ]; then
    artifact="$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error|.*check on line)' "$log" | head -n 5 || true
    line="$line  FINDING: ${artifact:-none written, see $log}"
    status=1
  fi
  echo "$line"
  summary+=("$line")
done

echo "== summary (${seconds}s each; logs in $build/logs)"
printf '%s\n' "${summary[@]}"
exit "$status"
