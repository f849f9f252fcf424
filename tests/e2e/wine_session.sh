#!/usr/bin/env bash
# Starts or stops the Wine session the end-to-end tests share: a private
# Xvfb display, a private 64-bit prefix (kept in the build tree and made
# once), and a persistent wineserver.
#
#   wine_session.sh start STATE_DIR   writes STATE_DIR/env.sh for the tests
#   wine_session.sh stop STATE_DIR
set -eu
action=$1
state=$(mkdir -p "$2" && cd "$2" && pwd)
wine=/usr/lib/wine/wine64
export WINEPREFIX=$state/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

stop() {
  if [[ -f $state/env.sh ]]; then
    # shellcheck disable=SC1091
    source "$state/env.sh"
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    [[ -n ${XVFB_PID:-} ]] && kill "$XVFB_PID" 2>/dev/null || true
    rm -f "$state/env.sh"
  fi
}

if [[ $action == stop ]]; then stop; exit 0; fi
stop  # a session left over from an interrupted run

# A display number nobody uses.
display=$(( 90 + RANDOM % 400 ))
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1600x1200x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$display ]] && break; sleep 0.1; done
export DISPLAY=":$display"

# Background processes inherit stdio: start them detached, or ctest's pipes
# never close.
/usr/lib/wine/wineserver64 -p </dev/null >/dev/null 2>&1 || /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
if [[ ! -f $WINEPREFIX/.codeloom-ready ]]; then
  "$wine" wineboot -u </dev/null >/dev/null 2>&1
  # No window manager: without this every window close stalls for 2 s.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
  # A crash must end the program, not wait in winedbg's dialog.
  "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  # The bitmap MS Sans Serif gives the classic 6x13 dialog units.
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  touch "$WINEPREFIX/.codeloom-ready"
fi
"$wine" wineboot </dev/null >/dev/null 2>&1

cat > "$state/env.sh" <<ENV
export WINEPREFIX='$WINEPREFIX' WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
export DISPLAY=':$display' XVFB_PID=$xvfb_pid
ENV
