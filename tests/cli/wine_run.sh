#!/usr/bin/env bash
# Runs a Windows program in the end-to-end tests' Wine session; run_case.sh
# calls it as CODELOOM_CLI_RUNNER, with CODELOOM_WINE_STATE naming the session.
#   wine_run.sh PROGRAM.exe ARG...
set -u
# shellcheck disable=SC1091
source "$CODELOOM_WINE_STATE/env.sh" || { echo "no Wine session: the setup test failed" >&2; exit 125; }
# Wine now and then ends a program as it starts, with status 1 and not a
# byte of output (seen once in some 600 runs of the cases, beside a loaded
# build). codeloom-cli never ends with status 1 without printing why, on
# stdout (lint's findings) or stderr, so that one outcome is Wine's, and
# the program is run once more. Its output goes through files to tell.
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
/usr/lib/wine/wine64 "$@" >"$out" 2>"$err"
status=$?
if [[ $status == 1 && ! -s $out && ! -s $err ]]; then
  echo "wine_run.sh: wine64 ended $1 with status 1 and no output; running it once more" >"$err"
  /usr/lib/wine/wine64 "$@" >"$out" 2>>"$err"
  status=$?
fi
cat "$out" || exit 125
cat "$err" >&2
exit $status
