# Sourced by the scripts that run Wine: one private prefix per build folder.
# TALVENOR_BUILD may name the Windows build folder; it defaults to build/win.
_talvenor_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
: "${TALVENOR_BUILD:=$_talvenor_root/build/win}"
export TALVENOR_BUILD
export WINEPREFIX="${WINEPREFIX_OVERRIDE:-$TALVENOR_BUILD/wine-prefix}"
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
# maximised and activated on an X server without a window manager.
talvenor_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.talvenor-ready" ]; then
      "$WINE" wineboot -i >"$TALVENOR_BUILD/wineboot.log" 2>&1 </dev/null 9>&-
      "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null 9>&-
      "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 </dev/null 9>&-
      # Message boxes and dialogs must not wait for a crash dialog.
      "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null 9>&-
      wineserver -w 9>&-
      touch "$WINEPREFIX/.talvenor-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Starts an Xvfb on a free display unless DISPLAY is set; TALVENOR_XVFB_PID names it.
talvenor_start_xvfb() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
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
  if [ -n "${TALVENOR_XVFB_PID:-}" ]; then
    kill "$TALVENOR_XVFB_PID" 2>/dev/null || true
    wait "$TALVENOR_XVFB_PID" 2>/dev/null || true
    unset TALVENOR_XVFB_PID
  fi
}
