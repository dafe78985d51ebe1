#!/usr/bin/env bash
# Static checks of the medium's programs in both Windows builds, read with binutils' objdump:
#  - every DLL that setup.exe, UnInstall.exe and UNZIPLIB.DLL import is a Known DLL, which
#    Windows takes from the system folder only (any other name it looks for in the medium's
#    folder first, where anyone may have put a file of that name);
#  - the machine type of each program (x86-64 or i386);
#  - UNZIPLIB.DLL exports exactly the undecorated UnzipExec and GetUnzipVersion (the 32-bit
#    build would decorate them as UnzipExec@4 without the module-definition file);
#  - the DLL characteristics: every program may be placed anywhere (dynamic base) and keeps
#    no code in data (NX); the 64-bit UnInstall.exe and UNZIPLIB.DLL have the high-entropy
#    layout, and the 64-bit setup.exe, whose callback's address the unzip library's interface
#    carries in 32 bits, has not, and is based below 4 GB.
# Usage: check_binaries.sh <64-bit build folder> <32-bit build folder>
set -uo pipefail

# Known DLLs of every Windows from 7 to 11 (HKLM\SYSTEM\CurrentControlSet\Control\Session
# Manager\KnownDLLs); names that only some versions list (comctl32 never, version, usp10,
# wininet, combase, gdiplus, shcore ...) are left out.
allowed="advapi32 clbcatq comdlg32 gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ole32
oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32"

# DLL characteristics bits.
dynamic_base=0x40 nx_compat=0x100 high_entropy=0x20

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# check_characteristics <file> <objdump> <bits that must be set> <bits that must be clear>
check_characteristics() {
  local file=$1 objdump=$2 set=$3 clear=$4 value
  value=$("$objdump" -p "$file" | sed -n 's/^DllCharacteristics\s*/0x/p')
  if [ -z "$value" ] || (( (value & set) != set || (value & clear) != 0 )); then
    fail "$file has DllCharacteristics ${value:-none}: $(printf '0x%x must be set, 0x%x clear' "$set" "$clear")"
  fi
}

# check_below_4gb <file> <objdump>
check_below_4gb() {
  local base
  base=$("$2" -p "$1" | sed -n 's/^ImageBase\s*/0x/p')
  (( base < 0x100000000 )) || fail "$1 is based at $base, above 4 GB"
}

# check_tree <build folder> <objdump> <file format>
check_tree() {
  local tree=$1 objdump=$2 format=$3 file dll
  for file in bin/setup.exe bin/UnInstall.exe medium-bin/UNZIPLIB.DLL; do
    if [ ! -f "$tree/$file" ]; then
      fail "$tree/$file is missing: build the tree first"
      continue
    fi
    "$objdump" -f "$tree/$file" | grep -q "file format $format\$" ||
      fail "$tree/$file is not $format"
    for dll in $("$objdump" -p "$tree/$file" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
      echo " $allowed " | tr '\n' ' ' | grep -q " ${dll%.dll} " ||
        fail "$tree/$file imports $dll, which is no Known DLL"
    done
  done
  local exports
  exports=$("$objdump" -p "$tree/medium-bin/UNZIPLIB.DLL" 2>/dev/null |
    sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
  [ "$exports" = "GetUnzipVersion UnzipExec " ] ||
    fail "$tree/medium-bin/UNZIPLIB.DLL exports '$exports', not exactly GetUnzipVersion and UnzipExec"
}

check_tree "$1" x86_64-w64-mingw32-objdump pei-x86-64
check_tree "$2" i686-w64-mingw32-objdump pei-i386

randomised=$((dynamic_base | nx_compat))
objdump64=x86_64-w64-mingw32-objdump
check_characteristics "$1/bin/setup.exe" $objdump64 $randomised $high_entropy
check_below_4gb "$1/bin/setup.exe" $objdump64
check_characteristics "$1/bin/UnInstall.exe" $objdump64 $((randomised | high_entropy)) 0
check_characteristics "$1/medium-bin/UNZIPLIB.DLL" $objdump64 $((randomised | high_entropy)) 0
for file in bin/setup.exe bin/UnInstall.exe medium-bin/UNZIPLIB.DLL; do
  check_characteristics "$2/$file" i686-w64-mingw32-objdump $randomised 0
done
[ "$failures" -eq 0 ] &&
  echo "the six programs import only Known DLLs, are randomised and NX; machine types and exports as expected"
exit $((failures > 0))
