#!/usr/bin/env bash
# Sourced by the run and test scripts: prepares the project's Wine prefix
# (created on first use), a display (Xvfb when there is none) and a
# wineserver that stays up until wine_session_end.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$(cd "$here/.." && pwd)/build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
LUMO_XVFB_PID=

wine_session_begin() {
  if [ -z "${DISPLAY:-}" ]; then
    local n
    for n in $(seq 90 120); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    LUMO_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  # A server left from an earlier run may still be going down; a test started
  # meanwhile would spawn a fresh one that keeps ctest's output pipe open.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix in $WINEPREFIX"
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 </dev/null
    wineserver -w
  fi
  # Persistent for the session (ended by wine_session_end). The first program
  # also starts Wine's background services; start them here, detached from
  # any output that a test runner reads.
  wineserver -p >/dev/null 2>&1 </dev/null
  # Fonts the skin asks for (idempotent; runs under the server above).
  if [ -f "$here/wine-fonts.sh" ]; then bash "$here/wine-fonts.sh" >/dev/null 2>&1 </dev/null; fi
  /usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 </dev/null
}

wine_session_end() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "$LUMO_XVFB_PID" ]; then
    kill "$LUMO_XVFB_PID" 2>/dev/null || true
    wait "$LUMO_XVFB_PID" 2>/dev/null || true
  fi
}
