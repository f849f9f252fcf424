#!/usr/bin/env bash
# Times codeloom-cli headers (each mode) and forum on a generated PowerBASIC
# corpus, next to wc -l and ctags on the same files, and checks that time and
# memory grow linearly with the input.
#
#   bench/run.sh [SIZE_MB]        default 200; a corpus of SIZE_MB / 10 is the
#                                 linearity reference
# Environment: RUNS (best of, default 3), CORPUS_DIR (default bench/corpus),
# BUILD_DIR (default build/release; codeloom-cli is built there in Release).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-200}
runs=${RUNS:-3}
corpus=${CORPUS_DIR:-$root/bench/corpus}
build=${BUILD_DIR:-$root/build/release}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

echo "building codeloom-cli (Release) in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCODELOOM_CROSS_BUILD=OFF >/dev/null
cmake --build "$build" --target codeloom-cli -j2 >/dev/null
cli=$build/codeloom-cli

# make_corpus MB: the corpus folder of that size, generated once.
make_corpus() {
  local dir=$corpus/${1}mb
  if [[ ! -f $dir/.complete ]]; then
    rm -rf "$dir"
    python3 "$root/bench/make_corpus.py" "$dir" --size-mb "$1" >&2
    touch "$dir/.complete"
  fi
  echo "$dir"
}

# measure CMD...: of $runs runs, the one with the least CPU time (user +
# system, from /usr/bin/time -v): its CPU seconds in $seconds, wall seconds in
# $wall, peak resident set in $rss_mb, stdout bytes in $out_bytes. CPU time is
# the figure compared: on a shared machine the wall clock also counts the
# time spent waiting for a core.
measure() {
  seconds= wall= rss_mb= out_bytes=
  local i t0 t1 w s
  for ((i = 0; i < runs; i++)); do
    t0=$(date +%s%N)
    /usr/bin/time -v -o "$tmp/time" "$@" >"$tmp/out" 2>"$tmp/err" || true
    t1=$(date +%s%N)
    w=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    s=$(awk -F': ' '/User time|System time/ { t += $2 } END { printf "%.2f", t }' "$tmp/time")
    if [[ -z $seconds ]] || awk -v s="$s" -v b="$seconds" 'BEGIN { exit !(s < b) }'; then
      seconds=$s wall=$w
      rss_mb=$(awk '/Maximum resident set size/ { printf "%.1f", $NF / 1024 }' "$tmp/time")
      out_bytes=$(stat -c %s "$tmp/out")
    fi
  done
}

full=$(make_corpus "$size")
small=$(make_corpus "$(awk -v s="$size" 'BEGIN { print s / 10 }')")

probe=$tmp/probe.bas
printf 'Sub A() Export\r\nEnd Sub\r\n' >"$probe"
forum=yes
"$cli" forum "$probe" >/dev/null 2>&1 || forum=no
have_ctags=yes
command -v ctags >/dev/null || have_ctags=no

# run_suite DIR: times every tool on all files of DIR in one go; results go to
# the associative arrays time_of, rss_of and out_of, keyed by tool name.
declare -A time_of wall_of rss_of out_of
run_suite() {
  local dir=$1
  mapfile -t files < <(find "$dir" -maxdepth 1 -type f \( -name '*.bas' -o -name '*.inc' \) | sort)
  cat "${files[@]}" >/dev/null  # warm the page cache
  mb=$(du -cb "${files[@]}" | awk 'END { printf "%.2f", $1 / 1048576 }')
  nfiles=${#files[@]}
  local tools=("headers sll" "headers dll" "headers compile")
  [[ $forum == yes ]] && tools+=("forum")
  tools+=("wc -l")
  [[ $have_ctags == yes ]] && tools+=("ctags")
  for tool in "${tools[@]}"; do
    case $tool in
      headers*) measure "$cli" headers --mode "${tool#headers }" "${files[@]}" ;;
      forum) measure "$cli" forum "${files[@]}" ;;
      "wc -l") measure wc -l "${files[@]}" ;;
      # .inc files are PowerBASIC too; without the map ctags would skip them.
      ctags) measure ctags --languages=Basic --langmap=Basic:+.inc -f /dev/null "${files[@]}" ;;
    esac
    time_of[$tool]=$seconds wall_of[$tool]=$wall rss_of[$tool]=$rss_mb out_of[$tool]=$out_bytes
  done
  tool_order=("${tools[@]}")
}

report() {
  printf '\n%s: %d files, %s MB (best of %d runs)\n' "$1" "$nfiles" "$mb" "$runs"
  printf '%-16s %8s %8s %9s %9s %9s %9s %10s\n' tool "CPU s" "wall s" "MB/s" "x wc -l" "ctags/x" "peak MB" "output MB"
  local wc=${time_of[wc -l]} ct=${time_of[ctags]:-}
  for tool in "${tool_order[@]}"; do
    awk -v t="$tool" -v s="${time_of[$tool]}" -v w="${wall_of[$tool]}" -v mb="$mb" -v wc="$wc" \
        -v ct="$ct" -v rss="${rss_of[$tool]}" -v out="${out_of[$tool]}" 'BEGIN {
      s = (s > 0 ? s : 0.005); wc = (wc > 0 ? wc : 0.005)  # 10 ms resolution
      printf "%-16s %8.2f %8.3f %9.0f %9.2f %9s %9.1f %10.1f\n", t, s, w, mb / s, s / wc,
             (ct == "" ? "-" : sprintf("%.1f", ct / s)), rss, out / 1048576 }'
  done
}

run_suite "$small"
declare -A small_time small_rss
for tool in "${tool_order[@]}"; do small_time[$tool]=${time_of[$tool]} small_rss[$tool]=${rss_of[$tool]}; done
declare -A small_out
for tool in "${tool_order[@]}"; do small_out[$tool]=${out_of[$tool]}; done
small_mb=$mb
report "small corpus $small"

run_suite "$full"
report "full corpus $full"

printf '\nlinearity (full vs small corpus, input %.1fx):\n' "$(awk -v a="$mb" -v b="$small_mb" 'BEGIN { print a / b }')"
printf '%-16s %12s %12s %16s\n' tool "CPU ratio" "peak ratio" "peak MB growth"
for tool in "${tool_order[@]}"; do
  awk -v t="$tool" -v a="${time_of[$tool]}" -v b="${small_time[$tool]}" \
      -v ra="${rss_of[$tool]}" -v rb="${small_rss[$tool]}" \
      'BEGIN { b = (b > 0 ? b : 0.005); printf "%-16s %12.2f %12.2f %16.1f\n", t, a / b, ra / rb, ra - rb }'
done
echo "(a CPU ratio near the input ratio is linear; the peak should grow by no more"
echo " than the largest file and output section, not with the corpus)"

echo
echo "targets (full corpus):"
for mode in sll dll compile; do
  awk -v m="$mode" -v s="${time_of[headers $mode]}" -v wc="${time_of[wc -l]}" -v ct="${time_of[ctags]:-0}" 'BEGIN {
    printf "  headers %-8s %.2fx wc -l (target <= 3): %s", m, s / wc, (s / wc <= 3 ? "met" : "MISSED")
    if (ct > 0) printf "; ctags %.1fx slower (target >= 10): %s", ct / s, (ct / s >= 10 ? "met" : "MISSED")
    printf "\n" }'
done
if [[ $forum == yes ]]; then
  awk -v s="${time_of[forum]}" -v wc="${time_of[wc -l]}" 'BEGIN {
    printf "  forum            %.2fx wc -l (target <= 3): %s\n", s / wc, (s / wc <= 3 ? "met" : "MISSED") }'
else
  echo "  forum: skipped (codeloom-cli forum failed on a probe file)"
fi
[[ $have_ctags == no ]] && echo "  ctags: not installed"
exit 0
