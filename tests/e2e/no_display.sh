#!/usr/bin/env bash
# Setup where there is no desktop: without an X display Wine creates no window at all. The
# wizard cannot start (exit code 3), "/VERYSILENT /SUPPRESSMSGBOXES" installs and logs all the
# same, creating no window, and the uninstaller removes that installation again.
#   no_display.sh BUILD_FOLDER   (the Windows build, with its demo medium)
set -u
build="$1"
source "$(dirname "$0")/../../scripts/wine-env.sh"
talvenor_wine_prefix
work="$WINEPREFIX/drive_c/talvenor-e2e-nodisplay"
win='C:\talvenor-e2e-nodisplay'
rm -rf "$work"
mkdir -p "$work/medium"
cp "$build"/medium/* "$work/medium/"
cp "$build/bin/UnInstall.exe" "$work/medium/UnInstallNoDisplay.exe"
printf '%s\r\n' '[Program]' 'Programname=Talvenor' 'ProgramEntry=Software\TalvenorE2E-NoDisplay' \
  '[Defaults]' 'Sprache=german.lng' 'firstpage=german.lng' \
  '[UnInstall]' 'UnInstallEntry=TalvenorE2E-NoDisplay' 'UninstallString=UnInstallNoDisplay.exe' \
  '[Group]' 'Groupname=TalvenorE2E Ohne Anzeige' \
  '[Autostart]' 'ExeString=talv20.exe' 'Description=TalvenorE2E Ohne Anzeige' >"$work/medium/Setup.inf"

# The exit code of a Windows program run without a display.
run() {
  env -u DISPLAY timeout 120 "$WINE" "$@" </dev/null >/dev/null 2>&1
  echo $?
}
failed=0
expect() {
  if [ "$1" != "$2" ]; then
    echo "$3: exit code $1, expected $2"
    failed=1
  fi
}

expect "$(run "$win\\medium\\setup.exe")" 3 "the wizard without a display"
expect "$(run "$win\\medium\\setup.exe" /VERYSILENT /SUPPRESSMSGBOXES "/DIR=$win\\Talvenor" "/LOG=$win\\setup.log")" 0 \
  "/VERYSILENT /SUPPRESSMSGBOXES without a display"
for file in talv20.exe liesmich.txt Setup.inf; do
  [ -f "$work/Talvenor/$file" ] || { echo "not installed: $file"; failed=1; }
done
grep -q ' Exit-Code: 0' "$work/setup.log" || { echo "the log does not end with exit code 0"; failed=1; }
expect "$(run 'C:\windows\UnInstallNoDisplay.exe' "$win\\Talvenor\\Setup.inf" /quiet)" 0 "the uninstaller"
[ ! -e "$work/Talvenor" ] || { echo "the installation was not removed"; failed=1; }

rm -rf "$work" "$WINEPREFIX/drive_c/windows/UnInstallNoDisplay.exe"
exit $failed
