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
# Wine files the user's folders under HOME; a bare CI environment may lack it.
export HOME=${HOME:-$state}
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

# Every step's output goes to setup.log, shown when a step fails.
log=$state/setup.log
: >"$log"
fail() {
  echo "e2e setup: $*" >&2
  tail -n 40 "$log" >&2
  exit 1
}
# Runs a Wine step detached from ctest's pipes: background processes inherit
# stdio, and a pipe they hold never closes.
step() { echo "+ $*" >>"$log"; "$@" </dev/null >>"$log" 2>&1; }

# A display number nobody uses.
display=$(( 90 + RANDOM % 400 ))
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1600x1200x24 -nolisten tcp </dev/null >>"$log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 300); do
  [[ -e /tmp/.X11-unix/X$display ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb :$display ended at start"
  sleep 0.1
done
[[ -e /tmp/.X11-unix/X$display ]] || fail "Xvfb :$display did not start in 30 s"
export DISPLAY=":$display"

# The persistent server needs the prefix folder to exist; without it every
# step would start and end a server of its own.
start_server() {
  mkdir -p "$WINEPREFIX"
  step /usr/lib/wine/wineserver -p || fail "wineserver did not start"
}
make_prefix() {
  step "$wine" wineboot -u &&
  # No window manager: without this every window close stalls for 2 s.
  step "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f &&
  # A crash must end the program, not wait in winedbg's dialog.
  step "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f &&
  # The bitmap MS Sans Serif gives the classic 6x13 dialog units.
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" &&
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" &&
  touch "$WINEPREFIX/.codeloom-ready"
}
start_server
if [[ ! -f $WINEPREFIX/.codeloom-ready ]]; then
  if ! make_prefix; then
    # Once more from nothing: a half-made prefix is not worth mending.
    echo "+ retrying with a new prefix" >>"$log"
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    start_server
    make_prefix || fail "cannot create the Wine prefix $WINEPREFIX"
  fi
fi
step "$wine" wineboot || { sleep 1; step "$wine" wineboot; } || fail "wineboot failed in $WINEPREFIX"

cat > "$state/env.sh" <<ENV
export WINEPREFIX='$WINEPREFIX' WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
export DISPLAY=':$display' XVFB_PID=$xvfb_pid HOME='$HOME'
ENV
