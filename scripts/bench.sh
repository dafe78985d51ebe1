#!/usr/bin/env bash
# Runs every speed measurement of the project and prints one table: each figure, its peer or
# floor, their ratio and the goal. Figures are medians of several runs (the engine benchmark
# takes the best of its own runs). Not part of the CI run: it takes several minutes and its
# figures depend on the machine and its load.
#   scripts/bench.sh [runs]        runs per measurement, default 3
# Writes the table to build/bench/table.md and every program's output beside it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-3}"
out="$root/build/bench"
mkdir -p "$out"

# ---- build what is measured

if [ ! -f "$root/build/native/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
if [ ! -f "$root/build/win/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
fi
cmake --build "$root/build/native" --target zip_list_bench unzip_bench >"$out/build.log"
cmake --build "$root/build/win" --target progress_bench lang_bench install_bench unzip_bench_dll >>"$out/build.log"

source "$root/scripts/wine-env.sh"
unset DISPLAY
trap talvenor_stop_wine EXIT
talvenor_start_xvfb
talvenor_wine_prefix
WINE=/usr/lib/wine/wine64

# ---- helpers

# The median of the numbers on standard input, one per line ("n/a" when there is none).
median() {
  sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The first number after a pattern in a file: number_after FILE REGEX.
number_after() {
  local n
  n=$(sed -nE "/$2/ { s/.*$2[^0-9-]*(-?[0-9]+(\.[0-9]+)?).*/\1/p; q }" "$1")
  echo "${n:-n/a}"
}

# a / b with two decimals, "n/a" when either is missing.
ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { if (a == "n/a" || b == "n/a" || a == "" || b == "" || b + 0 == 0) print "n/a"; else printf "%.2f", a / b }'
}

# met VALUE OP LIMIT: "yes", "no" or "?" when the value is missing.
met() {
  awk -v v="$1" -v op="$2" -v l="$3" 'BEGIN {
    if (v == "n/a" || v == "") { print "?"; exit }
    ok = (op == "<=") ? v <= l : (op == "<") ? v < l : (op == ">=") ? v >= l : v > l
    print ok ? "yes" : "no" }'
}

rows=()
row() { rows+=("| $1 | $2 | $3 | $4 | $5 | $6 |"); }

# ---- goal 5: one paint of the copy window's 402 x 21 bar under Wine

: >"$out/progress_bench.txt"
for _ in $(seq "$runs"); do
  "$WINE" "$root/build/win/src/components/progress/progress_bench.exe" >>"$out/progress_bench.txt" 2>/dev/null
done
bar_text=$(awk '/shown window, with text/ { print $(NF - 3) }' "$out/progress_bench.txt" | median)
bar_plain=$(awk '/shown window, without text/ { print $(NF - 3) }' "$out/progress_bench.txt" | median)
row "bar: one paint with text, under Wine" "$bar_text µs" "goal 500 µs" "$(ratio "$bar_text" 500)" "≤ 1" \
    "$(met "$bar_text" "<=" 500)"
row "bar: one paint without text, under Wine" "$bar_plain µs" "with text: $bar_text µs" "$(ratio "$bar_plain" "$bar_text")" "–" "–"

# ---- a language at the largest sizes a medium may bring, on a licence of 1 MB, under Wine

: >"$out/lang_bench.txt"
for _ in $(seq "$runs"); do
  "$WINE" "$root/build/win/src/lang/lang_bench.exe" >>"$out/lang_bench.txt" 2>/dev/null
done
licence_ms=$(awk '/^licence of/ { print $(NF - 1) }' "$out/lang_bench.txt" | median)
licence_lines=$(awk '/^licence of/ { print $5; exit }' "$out/lang_bench.txt")
# load + apply of one language: language_ms KIND
language_ms() {
  awk -v kind="$1:" '$1 == kind { print $3 + $(NF - 1) }' "$out/lang_bench.txt" | median
}
lang_many=$(language_ms language_250000_entries)
lang_every=$(language_ms language_every_line)
row "language of 250,000 entries: load and apply, under Wine" "$lang_many ms" "the licence into the memo: $licence_ms ms" \
    "$(ratio "$lang_many" "$licence_ms")" "–" "–"
row "language replacing all ${licence_lines:-n/a} licence lines: load and apply" "$lang_every ms" \
    "the licence into the memo: $licence_ms ms" "$(ratio "$lang_every" "$licence_ms")" "–" "–"

# ---- goal 4: List of 10,000 and 20,000 entries, natively

: >"$out/zip_list_bench.txt"
for _ in $(seq "$runs"); do
  "$root/build/native/src/components/zipformat/zip_list_bench" "$out" >>"$out/zip_list_bench.txt"
done
list10=$(awk '/^list_10000_ms/ { print $2 }' "$out/zip_list_bench.txt" | median)
list20=$(awk '/^list_20000_ms/ { print $2 }' "$out/zip_list_bench.txt" | median)
row "List, 10,000 entries, native" "$list10 ms" "goal 50 ms" "$(ratio "$list10" 50)" "< 1" "$(met "$(ratio "$list10" 50)" "<" 1)"
row "List, 20,000 entries, native" "$list20 ms" "10,000: $list10 ms" "$(ratio "$list20" "$list10")" "≤ 2.2" \
    "$(met "$(ratio "$list20" "$list10")" "<=" 2.2)"

# ---- goal 2: the engine natively against its floor and bsdtar / 7z

"$root/build/native/unziplib/bench/unzip_bench" >"$out/unzip_bench.txt" 2>&1 || true
engine_mbs=$(number_after "$out/unzip_bench.txt" "^engine +")
write_loop_mbs=$(number_after "$out/unzip_bench.txt" "^floor: plain write loop +")
inflate_mbs=$(number_after "$out/unzip_bench.txt" "^floor: in-memory inflate \\+ CRC +")
bsdtar_mbs=$(number_after "$out/unzip_bench.txt" "^bsdtar -xf +")
sevenzip_mbs=$(number_after "$out/unzip_bench.txt" "^7z x +")
floor_pct=$(number_after "$out/unzip_bench.txt" "engine reaches")
peer_x=$(number_after "$out/unzip_bench.txt" "engine is")
engine_kib=$(awk '/^engine +[0-9]/ { print $(NF - 1); exit }' "$out/unzip_bench.txt")
row "engine, native, 200 MB / 2,002 members" "$engine_mbs MB/s" \
    "floor: write loop $write_loop_mbs MB/s, inflate + CRC $inflate_mbs MB/s" "$(ratio "$floor_pct" 100)" "≥ 0.85" \
    "$(met "$(ratio "$floor_pct" 100)" ">=" 0.85)"
row "engine against the faster of bsdtar and 7z" "$engine_mbs MB/s" "bsdtar $bsdtar_mbs, 7z $sevenzip_mbs MB/s" "$peer_x" "≥ 1.5" "$(met "$peer_x" ">=" 1.5)"
row "engine peak memory" "${engine_kib:-n/a} KiB" "goal 16,384 KiB" "$(ratio "${engine_kib:-n/a}" 16384)" "< 1" \
    "$(met "$(ratio "${engine_kib:-n/a}" 16384)" "<" 1)"

# ---- goal 3: UNZIPLIB.DLL under Wine against a plain create/write/close of the same files

archive="$root/build/native/unziplib/bench/bench.zip"
: >"$out/unzip_bench_dll.txt"
if [ -f "$archive" ]; then
  # Each run into a new folder: a file that exists already is replaced by another way.
  for _ in $(seq "$runs"); do
    for mode in "" floor; do
      rm -rf "$WINEPREFIX/drive_c/talvenor-bench-dll"
      "$WINE" "$root/build/win/unziplib/bench/unzip_bench_dll.exe" "Z:${archive//\//\\}" 'C:\talvenor-bench-dll' $mode \
        >>"$out/unzip_bench_dll.txt" 2>/dev/null || true
    done
  done
  rm -rf "$WINEPREFIX/drive_c/talvenor-bench-dll"
fi
dll_mbs=$(sed -nE 's/^UNZIPLIB.DLL.*: ([0-9.]+) MB\/s.*/\1/p' "$out/unzip_bench_dll.txt" | median)
write_mbs=$(sed -nE 's/^plain create\/write\/close.*: ([0-9.]+) MB\/s.*/\1/p' "$out/unzip_bench_dll.txt" | median)
row "UNZIPLIB.DLL under Wine, same archive" "$dll_mbs MB/s" "plain create/write/close: $write_mbs MB/s" \
    "$(ratio "$dll_mbs" "$write_mbs")" "≥ 0.80" "$(met "$(ratio "$dll_mbs" "$write_mbs")" ">=" 0.80)"

# ---- goals 1 and 6: the real setup.exe and UnInstall.exe on 500, 2,000 and 8,000 small files

"$WINE" "$root/build/win/tests/e2e/install_bench.exe" "$runs" 500 2000 8000 >"$out/install_bench.txt" 2>/dev/null || true
# The removal again once the system has written the files to the disk (after 30 s, as
# vm.dirty_expire_centisecs has it), the state in which a user uninstalls.
"$WINE" "$root/build/win/tests/e2e/install_bench.exe" "$runs" settle=35 8000 >>"$out/install_bench.txt" 2>/dev/null || true
# Median seconds of one kind of line for one file count: seconds install_s 8000.
seconds() {
  awk -v what="$1" -v n="$2" '$1 == what && $2 == n && $3 >= 0 { v = $3 } END { print (v == "" ? "n/a" : v) }' \
    "$out/install_bench.txt"
}
waits=2.0  # the 1.5 s timer before the run and the 0.5 s wait after the extraction
declare -A install work uninstall
for n in 500 2000 8000; do
  install[$n]=$(seconds install_s "$n")
  work[$n]=$(awk -v t="${install[$n]}" -v w=$waits 'BEGIN { if (t == "n/a") print t; else printf "%.2f", t - w }')
  uninstall[$n]=$(seconds uninstall_s "$n")
done
install_8000=${install[8000]} work_8000=${work[8000]} work_2000=${work[2000]}
uninstall_8000=${uninstall[8000]} uninstall_2000=${uninstall[2000]}
settled_uninstall=$(seconds settled_uninstall_s 8000) settled_plain_delete=$(seconds settled_plain_delete_s 8000)
# The removal and its floor run one after the other; the disk's state moves both between
# runs, so they are compared run by run: the median of the ratios.
settled_ratio=$(awk '/^run .* plain delete / && $(NF - 1) + 0 > 0 { print $(NF - 5) / $(NF - 1) }' \
  "$out/install_bench.txt" | median)
row "installation, 500 files, under Wine" "${install[500]} s (${work[500]} s without waits)" "–" "–" "–" "–"
row "installation, 2,000 files, under Wine" "${install[2000]} s (${work[2000]} s without waits)" "–" "–" "–" "–"
row "installation, 8,000 files, under Wine" "$install_8000 s ($work_8000 s without waits)" "goal 8 s + $waits s waits" \
    "$(ratio "$work_8000" 8)" "≤ 1" "$(met "$(ratio "$work_8000" 8)" "<=" 1)"
row "installation without waits, 8,000 against 2,000 files" "$work_8000 s" "$work_2000 s" "$(ratio "$work_8000" "$work_2000")" \
    "≤ 4.4" "$(met "$(ratio "$work_8000" "$work_2000")" "<=" 4.4)"
row "uninstallation right after the installation, 8,000 files, under Wine" "$uninstall_8000 s" "goal 5 s" "$(ratio "$uninstall_8000" 5)" "≤ 1" \
    "$(met "$(ratio "$uninstall_8000" 5)" "<=" 1)"
row "uninstallation, 8,000 against 2,000 files" "$uninstall_8000 s" "$uninstall_2000 s" \
    "$(ratio "$uninstall_8000" "$uninstall_2000")" "≤ 4.4" "$(met "$(ratio "$uninstall_8000" "$uninstall_2000")" "<=" 4.4)"
row "uninstallation of 8,000 files already on the disk" "$settled_uninstall s" "goal 5 s" "$(ratio "$settled_uninstall" 5)" \
    "≤ 1" "$(met "$(ratio "$settled_uninstall" 5)" "<=" 1)"
row "the same against its floor, run by run" "$settled_uninstall s" "plain DeleteFileA loop: $settled_plain_delete s" \
    "$(awk -v r="$settled_ratio" 'BEGIN { if (r == "n/a") print r; else printf "%.2f", r }')" "–" "–"

# ---- setup /VERYSILENT against a plain create/write/close of the same 8,000 files, run by run

"$WINE" "$root/build/win/tests/e2e/install_bench.exe" "$runs" verysilent 8000 >"$out/verysilent_bench.txt" 2>/dev/null || true
verysilent_figure() {
  awk -v what="$1" '$1 == what && $2 == 8000 && $3 >= 0 { v = $3 } END { print (v == "" ? "n/a" : v) }' \
    "$out/verysilent_bench.txt"
}
verysilent=$(verysilent_figure verysilent_s) plain_write=$(verysilent_figure plain_write_s)
# The median of the runs' ratios, with two decimals.
verysilent_ratio=$(ratio "$(verysilent_figure verysilent_ratio)" 1)
row "setup /VERYSILENT, 8,000 files, start to exit, under Wine" "$verysilent s" \
    "plain create/write/close: $plain_write s" "$verysilent_ratio" "≤ 1.5" "$(met "$verysilent_ratio" "<=" 1.5)"

# ---- goal 7: the run's journal, and installing over an existing installation
# At least five runs of each program, interleaved in one call: single runs here vary by more
# than the 5 % that the journal may cost.

journal_runs=$(( runs > 5 ? runs : 5 ))
"$WINE" "$root/build/win/tests/e2e/install_bench.exe" "$journal_runs" update journal 8000 \
  >"$out/journal_bench.txt" 2>/dev/null || true
figure() { awk -v what="$1" '$1 == what && $2 == 8000 && $3 >= 0 { v = $3 } END { print (v == "" ? "n/a" : v) }' \
  "$out/journal_bench.txt"; }
with_install=$(figure install_s) without_install=$(figure unjournalled_install_s)
with_update=$(figure update_s) without_update=$(figure unjournalled_update_s)
row "journal: installation of 8,000 files with it, under Wine" "$with_install s" "without it: $without_install s" \
    "$(ratio "$with_install" "$without_install")" "≤ 1.05" "$(met "$(ratio "$with_install" "$without_install")" "<=" 1.05)"
row "installation over an existing one, 8,000 files" "$with_update s" "fresh: $with_install s" \
    "$(ratio "$with_update" "$with_install")" "≤ 1.3" "$(met "$(ratio "$with_update" "$with_install")" "<=" 1.3)"
row "the same without the journal (replacing through temporary files)" "$without_update s" \
    "fresh: $without_install s" "$(ratio "$without_update" "$without_install")" "–" "–"

# ---- the table

{
  echo "Run of $(date -u '+%Y-%m-%d %H:%M UTC'), $runs runs per measurement (medians)."
  echo "Machine: $(nproc) cores, $(grep -m 1 'model name' /proc/cpuinfo | sed 's/.*: //'), load average $(cut -d ' ' -f 1-3 /proc/loadavg)."
  echo "Wine: $("$WINE" --version 2>/dev/null || echo unknown)."
  echo
  echo "| measurement | figure | peer or floor | ratio | goal | met |"
  echo "| --- | --- | --- | --- | --- | --- |"
  printf '%s\n' "${rows[@]}"
} | tee "$out/table.md"
