# Sourced by the scripts that run Wine: one private prefix per build folder.
# TALVENOR_BUILD may name the Windows build folder; it defaults to build/win.
_talvenor_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
: "${TALVENOR_BUILD:=$_talvenor_root/build/win}"
export TALVENOR_BUILD
# TALVENOR_DPI may give the screen's pixels per inch (Wine's LogPixels); a resolution other than
# the designs' 96 gets a prefix of its own, so the tests at 96 keep theirs.
if [ -n "${TALVENOR_DPI:-}" ] && [ "$TALVENOR_DPI" != 96 ]; then
  export WINEPREFIX="${WINEPREFIX_OVERRIDE:-$TALVENOR_BUILD/wine-prefix-dpi$TALVENOR_DPI}"
else
  export WINEPREFIX="${WINEPREFIX_OVERRIDE:-$TALVENOR_BUILD/wine-prefix}"
fi
export WINEARCH=win64
# The 64-bit loader: this machine's kernel runs no 32-bit Linux programs, so the Windows
# build is 64-bit and Wine's 64-bit loader runs it.
export WINELOADER=/usr/lib/wine/wine64
WINE=/usr/lib/wine/wine64
export WINEDEBUG=-all
# No download prompts for Mono or Gecko while the prefix is created; no Linux menu entries
# for the links that setup writes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Creates the prefix once: Wine's own virtual desktop of 1024 x 768, so that windows can be
# maximised and activated on an X server without a window manager. At another resolution the
# desktop has as many more pixels, as a screen of that density has: 1536 x 1152 at 144.
talvenor_wine_prefix() {
  local dpi="${TALVENOR_DPI:-96}"
  local desktop="$((1024 * dpi / 96))x$((768 * dpi / 96))"
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.talvenor-ready" ]; then
      "$WINE" wineboot -i >"$TALVENOR_BUILD/wineboot.log" 2>&1 </dev/null 9>&-
      "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null 9>&-
      "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop" /f >/dev/null 2>&1 </dev/null 9>&-
      # Message boxes and dialogs must not wait for a crash dialog.
      "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null 9>&-
      "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null 9>&-
      wineserver -w 9>&-
      touch "$WINEPREFIX/.talvenor-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Starts an Xvfb on a free display unless DISPLAY is set; TALVENOR_XVFB_PID names it. Its
# screen holds the desktop of the 144-pixels-per-inch prefix as well.
talvenor_start_xvfb() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1536x1152x24 -nolisten tcp >/dev/null 2>&1 &
      TALVENOR_XVFB_PID=$!
      export DISPLAY=":$n"
      for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
      done
      echo "Xvfb did not start on :$n" >&2
      return 1
    fi
  done
  echo "no free X display" >&2
  return 1
}

talvenor_stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
  # The prefixes of other resolutions that tests started in this build folder.
  local prefix
  for prefix in "$TALVENOR_BUILD"/wine-prefix-dpi*/; do
    [ -d "$prefix" ] && WINEPREFIX="${prefix%/}" wineserver -k >/dev/null 2>&1 || true
  done
  if [ -n "${TALVENOR_XVFB_PID:-}" ]; then
    kill "$TALVENOR_XVFB_PID" 2>/dev/null || true
    wait "$TALVENOR_XVFB_PID" 2>/dev/null || true
    unset TALVENOR_XVFB_PID
  fi
}
