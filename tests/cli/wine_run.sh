#!/usr/bin/env bash
# Runs a Windows program in the end-to-end tests' Wine session; run_case.sh
# calls it as CODELOOM_CLI_RUNNER, with CODELOOM_WINE_STATE naming the session.
#   wine_run.sh PROGRAM.exe ARG...
set -u
# shellcheck disable=SC1091
source "$CODELOOM_WINE_STATE/env.sh" || { echo "no Wine session: the setup test failed" >&2; exit 125; }
exec /usr/lib/wine/wine64 "$@"
