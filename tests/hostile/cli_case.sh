#!/usr/bin/env bash
# Runs one hostile codeloom-cli case: hostile_cases.py writes the inputs and
# the expected bytes into a temporary folder, each run's stdout must equal
# them exactly and its exit status be 0. Prints "timing NAME SIZE SECONDS"
# per run (the command alone) for bench/hostile.sh.
#   cli_case.sh CODELOOM_CLI CASE [SCALE]
set -eu
cli=$(realpath "$1")
case_name=$2
scale=${3:-1}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$here/hostile_cases.py" "$case_name" "$work" "$scale"
cd "$work"
status=0
for args_file in *.args; do
  run=${args_file%.args}
  mapfile -t args <"$args_file"
  start=$(date +%s.%N)
  if ! "$cli" "${args[@]}" >"$run.out" 2>"$run.err"; then
    echo "FAIL $case_name/$run: exit status $?; stderr: $(head -c 500 "$run.err")"
    status=1
    continue
  fi
  end=$(date +%s.%N)
  echo "timing $case_name.$run $scale $(awk "BEGIN { printf \"%.3f\", $end - $start }")"
  if ! cmp -s "$run.out" "$run.expected"; then
    echo "FAIL $case_name/$run: output differs from the rules ($(stat -c %s "$run.out") bytes," \
         "expected $(stat -c %s "$run.expected")); first difference: $(cmp "$run.out" "$run.expected" 2>&1 | head -1)"
    status=1
  fi
done
exit $status
