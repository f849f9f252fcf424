#!/usr/bin/env bash
# Runs one end-to-end test with a small tmpfs mounted for it, named to the
# driver as CODELOOM_SMALL_DISK (its Windows path). Without the right to
# mount, the test is skipped (status 77).
#
#   small_disk.sh STATE_DIR DRIVER_EXE CODELOOM_EXE TEST
set -u
disk=$(mktemp -d)
if ! mount -t tmpfs -o size=1m codeloom-small "$disk" 2>/dev/null; then
  rmdir "$disk"; echo "skipped: cannot mount a tmpfs"; exit 77
fi
trap 'umount "$disk" && rmdir "$disk"' EXIT
export CODELOOM_SMALL_DISK="Z:${disk//\//\\}"
bash "$(dirname "$0")/run_test.sh" "$@"
