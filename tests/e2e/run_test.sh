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
cd "$work" || exit 1
# The program runs from the build tree, through Wine's Z: drive (the Unix
# root); a copy would race with the previous test's process still closing.
app_windows="Z:${app//\//\\}"
timeout 120 /usr/lib/wine/wine64 "$driver" "$test" "$app_windows" "C:\\e2e\\$test" </dev/null
