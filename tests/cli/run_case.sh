#!/usr/bin/env bash
# Runs one codeloom-cli case and compares what it printed, byte for byte.
#
# A case folder holds:
#   args            the arguments, one per line, run from the case folder
#   expected.out    the exact bytes expected on stdout (optional)
#   expected.regex  an extended regex the whole of stdout must match (optional)
#   status          the expected exit status (default 0)
#   stdout          a text that stdout must contain (optional)
#   stderr          a text that stderr must contain (optional)
# CODELOOM_CLI_RUNNER, when set, is a program that runs the CLI (Wine for
# codeloom-cli.exe); it gets the CLI and its arguments.
set -u
cli=$1
case_dir=$2
cd "$case_dir" || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

args=()
if [[ -f args ]]; then
  while IFS= read -r line || [[ -n $line ]]; do args+=("$line"); done < args
fi
${CODELOOM_CLI_RUNNER:+"$CODELOOM_CLI_RUNNER"} "$cli" "${args[@]}" >"$work/out" 2>"$work/err"
status=$?

fail=0
want_status=$(cat status 2>/dev/null || echo 0)
if [[ $status != "$want_status" ]]; then
  echo "exit status $status, expected $want_status"; fail=1
fi
if [[ -f expected.out ]] && ! cmp -s expected.out "$work/out"; then
  echo "stdout differs from expected.out:"; cmp expected.out "$work/out"
  diff <(od -c expected.out) <(od -c "$work/out") | head -n 20; fail=1
fi
if [[ -f expected.regex ]] && ! grep -Eq "^$(cat expected.regex)\$" <(cat "$work/out"; echo); then
  echo "stdout does not match expected.regex:"; od -c "$work/out" | head; fail=1
fi
if [[ -f stdout ]] && ! grep -qF -- "$(cat stdout)" "$work/out"; then
  echo "stdout lacks: $(cat stdout)"; fail=1
fi
if [[ -f stderr ]] && ! grep -qF -- "$(cat stderr)" "$work/err"; then
  echo "stderr lacks: $(cat stderr)"; cat "$work/err"; fail=1
fi
[[ $fail == 0 ]] && echo "ok" || { echo "--- stderr:"; cat "$work/err"; }
exit $fail
