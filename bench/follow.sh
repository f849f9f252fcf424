#!/usr/bin/env bash
# Times codeloom-cli headers --follow-includes on a main file that includes
# a 2 MB API file (40,000 lines of equates, TYPEs and DECLAREs) through -I,
# next to wc -l of the two files, in paired rounds (bench/measure.py).
#
#   bench/follow.sh          Environment: RUNS (default 9), BUILD_DIR (default
#                            build/release, where codeloom-cli is built in Release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-9}
build=${BUILD_DIR:-$root/build/release}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCODELOOM_CROSS_BUILD=OFF >/dev/null
cmake --build "$build" --target codeloom-cli -j2 >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 "$root/bench/make_api.py" "$tmp/project"
cd "$tmp/project"
sep=$'\x1f'
{
  echo "follow=$build/codeloom-cli${sep}headers${sep}--mode${sep}dll${sep}--follow-includes${sep}-I${sep}api${sep}main.bas"
  echo "plain=$build/codeloom-cli${sep}headers${sep}--mode${sep}dll${sep}main.bas${sep}api/win32api.inc"
  echo "wc=wc${sep}-l${sep}main.bas${sep}api/win32api.inc"
} >"$tmp/commands"
python3 "$root/bench/measure.py" "$runs" "$tmp/commands" >"$tmp/figures.json"
python3 - "$tmp/figures.json" <<'PY'
import json, sys
f = json.load(open(sys.argv[1]))
for tool, ns in f["wall_ns"].items():
    print("%-8s %8.2f ms wall  %6.3f s CPU  %5d page faults" % (tool, ns / 1e6, f["cpu_s"][tool], f["page_faults"][tool]))
ratio = f["ratios"]["follow/wc"]
print("follow: %.2fx wc -l of the files it reads (goal <= 2): %s" % (ratio, "met" if ratio <= 2 else "MISSED"))
PY
