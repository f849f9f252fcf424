#!/usr/bin/env bash
# Builds the fuzz targets (clang-14, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for SECONDS seconds
# (default 20) on a scratch copy of its seed corpus in fuzz/corpus/<target>,
# two targets at a time (one per core).
# The grown corpus never goes back into the repository. Fails on any crash,
# leak, timeout or memory blow-up; the input that caused it is kept under
# build/fuzz/artifacts/<target>/.
#   scripts/fuzz.sh [SECONDS [TARGET...]]
#   scripts/fuzz.sh --build-only      builds the targets and stops
set -eu
cd "$(dirname "$0")/.."
build_only=false
if [[ ${1:-} == --build-only ]]; then build_only=true; shift; fi
seconds=${1:-20}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(source_scanner forum_text template_engine classgen settings conditions)

build=build/fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCODELOOM_FUZZ=ON -DCODELOOM_CROSS_BUILD=OFF >/dev/null
cmake --build "$build" --target fuzzers -j2 >/dev/null
$build_only && exit 0

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# run_target TARGET: one fuzzing run; its log and exit status land in the scratch folder.
run_target() {
  local target=$1 corpus=$scratch/$1 artifacts=$build/artifacts/$1 status=0
  mkdir -p "$corpus" "$artifacts"
  cp fuzz/corpus/"$target"/* "$corpus"/
  "$build"/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=8192 -print_final_stats=1 -artifact_prefix="$artifacts"/ "$corpus" \
    >"$scratch/$target.log" 2>&1 || status=$?
  echo "$status" >"$scratch/$target.status"
}
# Two runs at a time, one per core (one alone on a single core), so that
# each has a whole core for its seconds.
parallel=$(nproc)
((parallel <= 2)) || parallel=2
running=0
for target in "${targets[@]}"; do
  if ((running == parallel)); then
    wait -n || true
    running=$((running - 1))
  fi
  run_target "$target" &
  running=$((running + 1))
done
wait

failed=0
total=0
for target in "${targets[@]}"; do
  log=$scratch/$target.log
  if [[ $(cat "$scratch/$target.status" 2>/dev/null) == 0 ]]; then
    runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
    total=$((total + runs))
    printf '%-16s %12s executions\n' "$target" "$runs"
  else
    failed=1
    echo "$target: FAILED (input kept in $build/artifacts/$target)"
    grep -E 'ERROR|SUMMARY|check failed|Test unit written' "$log" | head -20
  fi
done
printf '%-16s %12s executions\n' total "$total"
exit $failed
