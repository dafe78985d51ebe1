#!/usr/bin/env bash
# Static checks of the medium's programs in both Windows builds, read with binutils' objdump:
#  - every DLL that setup.exe, UnInstall.exe and UNZIPLIB.DLL import is a Known DLL, which
#    Windows takes from the system folder only (any other name it looks for in the medium's
#    folder first, where anyone may have put a file of that name);
#  - the machine type of each program (x86-64 or i386);
#  - UNZIPLIB.DLL exports exactly the undecorated UnzipExec and GetUnzipVersion (the 32-bit
#    build would decorate them as UnzipExec@4 without the module-definition file).
# Usage: check_binaries.sh <64-bit build folder> <32-bit build folder>
set -uo pipefail

# Known DLLs of every Windows from 7 to 11 (HKLM\SYSTEM\CurrentControlSet\Control\Session
# Manager\KnownDLLs); names that only some versions list (comctl32 never, version, usp10,
# wininet, combase, gdiplus, shcore ...) are left out.
allowed="advapi32 clbcatq comdlg32 gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ole32
oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
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
[ "$failures" -eq 0 ] && echo "the six programs import only Known DLLs; machine types and exports as expected"
exit $((failures > 0))
