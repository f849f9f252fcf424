#!/usr/bin/env bash
# Builds codeloom.exe alone and starts it under Wine in a start folder of its
# own, C:\codeloom of a Wine prefix kept in build/run, seeded with the
# examples (settings.txt, the templates, theme.xml and Message.bas are looked
# up there). Not the current Linux folder: Wine shows that on drive Z:, whose
# root is the Linux root, where an empty "Save to" would write.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
(cd "$root" && cmake --preset mingw-cross >/dev/null)
cmake --build "$root/build/mingw-cross" --target codeloom
exe=$root/build/mingw-cross/codeloom.exe
if [[ -z ${DISPLAY:-} ]]; then
  echo "codeloom: no display (DISPLAY is not set), so the window cannot be shown." >&2
  echo "Built $exe; start it from a desktop session, or use codeloom-cli:" >&2
  echo "  cmake --preset native && cmake --build build/native --target codeloom-cli" >&2
  exit 1
fi
wine=/usr/lib/wine/wine64
export WINEPREFIX=${WINEPREFIX:-$root/build/run/prefix} WINEARCH=win64 WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/.codeloom-ready ]]; then
  echo "Making the Wine prefix $WINEPREFIX (once)..."
  mkdir -p "$(dirname "$WINEPREFIX")"
  "$wine" wineboot -u </dev/null >/dev/null 2>&1
  # The bitmap MS Sans Serif, the dialogs' font.
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  touch "$WINEPREFIX/.codeloom-ready"
fi
start=$WINEPREFIX/drive_c/codeloom
# The open-file dialog starts in C:\prj\pb.
mkdir -p "$start" "$WINEPREFIX/drive_c/prj/pb"
for example in "$root"/examples/*; do
  [[ -e $start/${example##*/} ]] || cp "$example" "$start/"
done
echo "Start folder: $start (C:\\codeloom)"
cd "$start"
exec "$wine" "$exe"
