#!/usr/bin/env bash
# Runs one codeloom-cli case and compares what it printed, byte for byte.
#
# A case folder holds:
#   args            the arguments, one per line, run from the case folder;
#                   @WORK@ stands for the case's scratch folder
#   stdin           what the program reads on standard input (default: nothing)
#   stdout-to       a path stdout goes to instead of being kept (/dev/full)
#   memory-limit    ulimit -v for the run, in KiB; the case is skipped in
#                   sanitizer builds, whose shadow memory needs far more
#   native-only     (empty) the case uses Linux devices: not run under Wine
#   expected.out    the exact bytes expected on stdout (optional)
#   expected.like   the path of another file stdout must equal (optional)
#   expected.regex  an extended regex the whole of stdout must match (optional)
#   status          the expected exit status (default 0)
#   stdout          a text that stdout must contain (optional)
#   stderr          texts that stderr must contain, one a line (optional)
#   before.files    "NAME SOURCE" lines: SOURCE is copied into the scratch
#                   folder as NAME (with an old modification time) before the run
#   expected.files  "NAME SOURCE" lines: afterwards the scratch folder holds
#                   exactly these files, each equal to its SOURCE
#   kept            names of scratch files whose modification time must not change
#   setup           shell lines run in the scratch folder after before.files
#                   (modes, owners, links)
#   check           shell lines run in the scratch folder after the run; each
#                   must succeed
# CODELOOM_CLI_RUNNER, when set, is a program that runs the CLI (Wine for
# codeloom-cli.exe); it gets the CLI and its arguments.
set -u
cli=$1
case_dir=$2
cd "$case_dir" || exit 1
case_dir=$PWD
work=$(mktemp -d)
scratch=$work/scratch
mkdir "$scratch"
trap 'rm -rf "$work"' EXIT

if [[ -f memory-limit && -n ${CODELOOM_SANITIZED:-} ]]; then
  echo "skipped: memory limits do not apply to sanitizer builds"; exit 77
fi
if [[ -f before.files ]]; then
  while read -r name source; do
    mkdir -p "$(dirname "$scratch/$name")"
    cp "$source" "$scratch/$name" && touch -d 2001-01-01 "$scratch/$name"
  done < before.files
fi
if [[ -f setup ]]; then
  (cd "$scratch" && bash -e "$case_dir/setup") || { echo "setup failed"; exit 1; }
fi
declare -A mtimes
if [[ -f kept ]]; then
  while read -r name; do mtimes[$name]=$(stat -c %Y "$scratch/$name"); done < kept
fi
args=()
if [[ -f args ]]; then
  while IFS= read -r line || [[ -n $line ]]; do args+=("${line//@WORK@/$scratch}"); done < args
fi
stdin_from=/dev/null; [[ -f stdin ]] && stdin_from=stdin
stdout_to=$work/out; [[ -f stdout-to ]] && stdout_to=$(cat stdout-to)
touch "$work/out"
(
  [[ -f memory-limit ]] && ulimit -v "$(cat memory-limit)"
  ${CODELOOM_CLI_RUNNER:+"$CODELOOM_CLI_RUNNER"} "$cli" "${args[@]}" <"$stdin_from" >"$stdout_to" 2>"$work/err"
)
status=$?

fail=0
want_status=$(cat status 2>/dev/null || echo 0)
if [[ $status != "$want_status" ]]; then
  echo "exit status $status, expected $want_status"; fail=1
fi
for expected in expected.out $(cat expected.like 2>/dev/null); do
  if [[ -f $expected ]] && ! cmp -s "$expected" "$work/out"; then
    echo "stdout differs from $expected:"; cmp "$expected" "$work/out"
    diff <(od -c "$expected") <(od -c "$work/out") | head -n 20; fail=1
  fi
done
if [[ -f expected.regex ]] && ! grep -Eq "^$(cat expected.regex)\$" <(cat "$work/out"; echo); then
  echo "stdout does not match expected.regex:"; od -c "$work/out" | head; fail=1
fi
if [[ -f stdout ]] && ! grep -qF -- "$(cat stdout)" "$work/out"; then
  echo "stdout lacks: $(cat stdout)"; fail=1
fi
if [[ -f stderr ]]; then
  while IFS= read -r want; do
    grep -qF -- "$want" "$work/err" || { echo "stderr lacks: $want"; fail=1; }
  done < stderr
fi
if [[ -f expected.files ]]; then
  want_names=$(cut -d' ' -f1 expected.files | sort)
  have_names=$(cd "$scratch" && find . -type f | sed 's|^\./||' | sort)
  if [[ $want_names != "$have_names" ]]; then
    echo "scratch folder holds: $have_names"; echo "expected: $want_names"; fail=1
  fi
  while read -r name source; do
    [[ -f $scratch/$name ]] && ! cmp "$source" "$scratch/$name" && fail=1
  done < expected.files
fi
if [[ -f check ]]; then
  while IFS= read -r line; do
    (cd "$scratch" && bash -c "$line") || { echo "check failed: $line"; fail=1; }
  done < check
fi
for name in "${!mtimes[@]}"; do
  if [[ $(stat -c %Y "$scratch/$name" 2>/dev/null) != "${mtimes[$name]}" ]]; then
    echo "$name was rewritten"; fail=1
  fi
done
[[ $fail == 0 ]] && echo "ok" || { echo "--- stderr:"; cat "$work/err"; }
exit $fail
