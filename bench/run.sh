#!/usr/bin/env bash
# Times codeloom-cli headers (each mode) and forum on generated PowerBASIC
# corpora next to wc -l and ctags on the same files, in paired, alternating
# runs (bench/measure.py: nanosecond wall clock, median of RUNS rounds, each
# ratio the median of its per-round ratios), checks that time grows
# linearly from corpus to corpus, and measures peak memory on 10 files of
# 20 MB each. Two floors are timed with them (bench/scan_floor.cpp): the
# reads alone, and the reads with the line index over every window.
#
#   bench/run.sh [SIZE_MB...]     default 10 100 1000; each size is one corpus
# of files of about 200 KB, and 100 MB in 50 files of 2 MB is measured too
# (fewer, larger files: wc -l runs nearer memory speed there), and a
# realistic 20 MB corpus of small files with few procedures exported.
# Environment: RUNS (rounds, default 5, at least 5), CORPUS_DIR (default
# bench/corpus), BUILD_DIR (default build/release; codeloom-cli is built
# there in Release), PEAK=0 skips the 10 x 20 MB memory run.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
sizes=("$@")
((${#sizes[@]})) || sizes=(10 100 1000)
runs=${RUNS:-5}
corpus=${CORPUS_DIR:-$root/bench/corpus}
build=${BUILD_DIR:-$root/build/release}
((runs >= 5)) || { echo "bench/run.sh: RUNS must be at least 5" >&2; exit 2; }
command -v ctags >/dev/null || { echo "bench/run.sh: ctags is missing (scripts/install-deps.sh installs universal-ctags)" >&2; exit 2; }
ctags --version | grep -q 'Universal Ctags' || { echo "bench/run.sh: ctags is not universal-ctags" >&2; exit 2; }

echo "building codeloom-cli (Release) in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCODELOOM_CROSS_BUILD=OFF >/dev/null
cmake --build "$build" --target codeloom-cli codeloom-scan-floor -j2 >/dev/null
cli=$build/codeloom-cli
floor=$build/bench/codeloom-scan-floor

# make_corpus NAME ARGS...: the corpus folder NAME, generated once.
make_corpus() {
  local dir=$corpus/$1
  shift
  if [[ ! -f $dir/.complete ]]; then
    rm -rf "$dir"
    python3 "$root/bench/make_corpus.py" "$dir" "$@" >&2
    touch "$dir/.complete"
  fi
  echo "$dir"
}

# die MESSAGE: a figure that cannot be trusted ends the run.
die() { echo "bench/run.sh: $*" >&2; exit 1; }

sep=$'\x1f'
joined() { local IFS=$sep; echo "$*"; }

# measure_corpus DIR: every tool over all files of DIR; the JSON figures in
# $tmp/DIR-name.json.
measure_corpus() {
  local dir=$1
  mapfile -t files < <(find "$dir" -maxdepth 1 -type f \( -name '*.bas' -o -name '*.inc' \) | sort)
  ((${#files[@]})) || die "no source files in $dir"
  local bytes
  bytes=$(cat "${files[@]}" | wc -c)  # also warms the page cache
  ((bytes > 0)) || die "the corpus $dir is empty"
  local args=()
  for mode in sll dll compile; do args+=("headers-$mode=$(joined "$cli" headers --mode "$mode" "${files[@]}")"); done
  args+=("forum=$(joined "$cli" forum "${files[@]}")")
  # What no header command goes below: the reads alone, and the reads with
  # the line index run over every window.
  args+=("floor-read=$(joined "$floor" read "${files[@]}")")
  args+=("floor-index=$(joined "$floor" index "${files[@]}")")
  args+=("wc=$(joined wc -l "${files[@]}")")
  # .inc files are PowerBASIC too; without the map ctags would skip them.
  args+=("ctags=$(joined ctags --languages=Basic --langmap=Basic:+.inc -f /dev/null "${files[@]}")")
  printf '%s\n' "${args[@]}" >"$tmp/commands"
  python3 "$root/bench/measure.py" "$runs" "$tmp/commands" >"$tmp/$(basename "$dir").json"
  echo "${#files[@]} $bytes"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
report=$tmp/report.py
cat >"$report" <<'PY'
import json, math, sys
def load(path): return json.load(open(path))
def check(x, what):
    if not isinstance(x, (int, float)) or math.isnan(x) or math.isinf(x) or x <= 0:
        sys.exit("bench/run.sh: %s is not a positive number: %r" % (what, x))
    return x
kind = sys.argv[1]
if kind == "corpus":
    f, name, nfiles, nbytes = load(sys.argv[2]), sys.argv[3], int(sys.argv[4]), int(sys.argv[5])
    mb = nbytes / 1048576
    print("\n%s: %d files, %.1f MB (median of paired rounds)" % (name, nfiles, mb))
    print("%-16s %10s %8s %8s %9s %9s %9s %10s" % ("tool", "wall ms", "CPU s", "MB/s", "x wc -l", "ctags/x", "peak MB", "output MB"))
    for tool, ns in f["wall_ns"].items():
        wall = check(ns, tool + " time") / 1e9
        r = f["ratios"]
        xwc = "-" if tool == "wc" else "%.2f" % check(r[tool + "/wc"], tool + "/wc")
        xct = "-" if tool == "ctags" else "%.1f" % check(r["ctags/" + tool], "ctags/" + tool)
        print("%-16s %10.1f %8.3f %8.0f %9s %9s %9.1f %10.1f" % (tool, wall * 1e3, f["cpu_s"][tool], mb / wall,
              xwc, xct, f["peak_kb"][tool] / 1024, f["out_bytes"][tool] / 1048576))
    print("targets:")
    for mode in ("sll", "dll", "compile"):
        t = "headers-" + mode
        a, b = check(f["ratios"][t + "/wc"], t + "/wc"), check(f["ratios"]["ctags/" + t], "ctags/" + t)
        print("  %-16s %6.2fx wc -l (goal <= 5): %-6s  ctags %5.1fx slower (goal >= 15): %s" % (
              t, a, "met" if a <= 5 else "MISSED", b, "met" if b >= 15 else "MISSED"))
    a = check(f["ratios"]["forum/wc"], "forum/wc")
    print("  %-16s %6.2fx wc -l (goal <= 3): %s" % ("forum", a, "met" if a <= 3 else "MISSED"))
elif kind == "realistic":
    f = load(sys.argv[2])
    print("realistic corpus (many files, few procedures exported), goal for headers: at most 1.5x wc -l:")
    for mode in ("sll", "dll", "compile"):
        a = check(f["ratios"]["headers-%s/wc" % mode], mode)
        print("  %-16s %6.2fx wc -l: %s" % ("headers-" + mode, a, "met" if a <= 1.5 else "MISSED"))
elif kind == "linear":
    small, large = load(sys.argv[2]), load(sys.argv[3])
    sb, lb = int(sys.argv[4]), int(sys.argv[5])
    grow = lb / sb
    print("\nlinearity, %s vs %s (input %.2fx; goal: time at most 1.1x the input ratio):" % (sys.argv[6], sys.argv[7], grow))
    for tool in large["wall_ns"]:
        r = check(large["wall_ns"][tool], tool) / check(small["wall_ns"][tool], tool)
        print("  %-16s time %6.2fx  %s" % (tool, r, "met" if r <= 1.1 * grow else "MISSED"))
elif kind == "peak":
    f = load(sys.argv[2])
    print("\npeak resident memory on %s (goal for headers: at most 16 MB):" % sys.argv[3])
    for tool, kb in f["peak_kb"].items():
        mb = check(kb, tool + " peak") / 1024
        met = "" if not tool.startswith("headers") else ("met" if mb <= 16 else "MISSED")
        print("  %-16s %8.1f MB %s" % (tool, mb, met))
PY

declare -a names counts
for size in "${sizes[@]}"; do
  dir=$(make_corpus "${size}mb" --size-mb "$size")
  read -r nfiles nbytes < <(measure_corpus "$dir")
  python3 "$report" corpus "$tmp/${size}mb.json" "$dir" "$nfiles" "$nbytes"
  names+=("${size}mb") counts+=("$nbytes")
done
dir=$(make_corpus 50x2mb --size-mb 100 --file-kb 2048)
read -r nfiles nbytes < <(measure_corpus "$dir")
python3 "$report" corpus "$tmp/50x2mb.json" "$dir" "$nfiles" "$nbytes"
# What a real application looks like: many small files, 5 % of their
# procedures marked Export or Common.
dir=$(make_corpus realistic --size-mb 20 --file-kb 40 --marked 5)
read -r nfiles nbytes < <(measure_corpus "$dir")
python3 "$report" corpus "$tmp/realistic.json" "$dir" "$nfiles" "$nbytes"
python3 "$report" realistic "$tmp/realistic.json"

for ((i = 1; i < ${#names[@]}; i++)); do
  python3 "$report" linear "$tmp/${names[i-1]}.json" "$tmp/${names[i]}.json" "${counts[i-1]}" "${counts[i]}" \
    "${names[i-1]}" "${names[i]}"
done

if [[ ${PEAK:-1} != 0 ]]; then
  dir=$(make_corpus 10x20mb --size-mb 200 --file-kb 20480 --same-size)
  read -r nfiles nbytes < <(measure_corpus "$dir")
  python3 "$report" peak "$tmp/10x20mb.json" "$nfiles files of $(awk -v b="$nbytes" -v n="$nfiles" 'BEGIN { printf "%.1f", b / n / 1048576 }') MB"
fi
