#!/usr/bin/env bash
# Builds Codeloom and starts it: under Wine on Linux, in the current folder
# (settings.txt, the templates, theme.xml and Message.bas are looked up there).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
cmake --preset native -S "$root" >/dev/null
cmake --build "$root/build/native"
exe=$root/build/native/windows/codeloom.exe
if [[ -z ${DISPLAY:-} ]]; then
  echo "codeloom: no display (DISPLAY is not set), so the window cannot be shown." >&2
  echo "Built $exe; start it from a desktop session, or use codeloom-cli:" >&2
  echo "  $root/build/native/codeloom-cli --help" >&2
  exit 1
fi
export WINEPREFIX=${WINEPREFIX:-$HOME/.codeloom-wine} WINEARCH=win64 WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$exe"
