#!/usr/bin/env bash
# Builds the fuzz targets (clang-14, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for SECONDS seconds
# (default 20) on a scratch copy of its seed corpus in fuzz/corpus/<target>.
# The grown corpus never goes back into the repository. Fails on any crash,
# leak, timeout or memory blow-up; the input that caused it is kept under
# build/fuzz/artifacts/<target>/.
#   scripts/fuzz.sh [SECONDS [TARGET...]]
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(source_scanner forum_text template_engine classgen settings)

build=build/fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCODELOOM_FUZZ=ON -DCODELOOM_CROSS_BUILD=OFF >/dev/null
cmake --build "$build" --target fuzzers -j2 >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
total=0
for target in "${targets[@]}"; do
  corpus=$scratch/$target
  artifacts=$build/artifacts/$target
  mkdir -p "$corpus" "$artifacts"
  cp fuzz/corpus/"$target"/* "$corpus"/
  log=$scratch/$target.log
  if "$build"/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=8192 -print_final_stats=1 -artifact_prefix="$artifacts"/ "$corpus" >"$log" 2>&1; then
    runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
    total=$((total + runs))
    printf '%-16s %12s executions\n' "$target" "$runs"
  else
    failed=1
    echo "$target: FAILED (input kept in $artifacts)"
    grep -E 'ERROR|SUMMARY|check failed|Test unit written' "$log" | head -20
  fi
done
printf '%-16s %12s executions\n' total "$total"
exit $failed
