#!/usr/bin/env bash
# Runs one end-to-end test: the driver starts codeloom.exe in a fresh
# working folder (C:\e2e\TEST) and acts as the user.
#
#   run_test.sh STATE_DIR DRIVER_EXE CODELOOM_EXE TEST
set -u
state=$1 driver=$(realpath "$2") app=$(realpath "$3") test=$4
# shellcheck disable=SC1091
source "$state/env.sh" || { echo "no Wine session: the setup test failed"; exit 1; }
work=$WINEPREFIX/drive_c/e2e/$test
rm -rf "$work" && mkdir -p "$work"
cp "$app" "$WINEPREFIX/drive_c/e2e/codeloom.exe" 2>/dev/null || true
cd "$work" || exit 1
timeout 120 /usr/lib/wine/wine64 "$driver" "$test" 'C:\e2e\codeloom.exe' "C:\\e2e\\$test" </dev/null
