#!/usr/bin/env bash
# Takes docs/command-window.png: Codeloom's command window under Wine on a
# private Xvfb display, cropped to the window.
#   screenshot.sh [EXE [PNG]]   defaults: the native build's codeloom.exe and
#                               docs/command-window.png
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "${1:-$root/build/native/windows/codeloom.exe}")
png=$(realpath -m "${2:-$root/docs/command-window.png}")
[[ -f $exe ]] || { echo "build first: cmake --preset native && cmake --build build/native" >&2; exit 1; }
state=$root/build/screenshot-wine
bash "$root/tests/e2e/wine_session.sh" start "$state"
trap 'bash "$root/tests/e2e/wine_session.sh" stop "$state"' EXIT
# shellcheck disable=SC1091
source "$state/env.sh"
work=$(mktemp -d)
(cd "$work" && /usr/lib/wine/wine64 "$exe" </dev/null >/dev/null 2>&1 &)
for _ in $(seq 50); do
  geometry=$(xwininfo -root -tree 2>/dev/null | grep '"Codeloom"' | head -n 1 || true)
  [[ -n $geometry ]] && break
  sleep 0.2
done
sleep 1
# "  0x... "Codeloom": ("codeloom.exe" "Wine")  195x320+992+192  +992+192"
size=$(grep -oE '[0-9]+x[0-9]+\+[0-9]+\+[0-9]+' <<<"$geometry" | head -n 1)
mkdir -p "$(dirname "$png")"
import -display "$DISPLAY" -window root -crop "$size" +repage "$png"
/usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$work"
echo "wrote $png ($size)"
