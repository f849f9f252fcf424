#!/usr/bin/env bash
# Times the hostile cases (tests/hostile) at two sizes, a tenth and the full
# size of the tests (100 MB lines, 100,000 files, a million marker lines), and
# prints each time and the ratio: about 10 means the time grows linearly.
# The times cover the command alone, not making the input or checking it.
#   bench/hostile.sh [BUILD_DIR]   (default build/native, already built)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/native}
small=0.1
large=1
timings=$(mktemp)
trap 'rm -f "$timings"' EXIT
for scale in $small $large; do
  HOSTILE_SCALE=$scale "$build/tests/codeloom_hostile_tests" | grep '^timing' |
    awk -v s="$scale" '{ print $2, s, $3, $4 }' >>"$timings"
  for c in long_line many_files marker_template; do
    bash tests/hostile/cli_case.sh "$build/codeloom-cli" "$c" "$scale" | grep '^timing' |
      awk '{ print "cli." $2, $3, "-", $4 }' >>"$timings"
  done
done
awk -v small=$small -v large=$large '
  { key = $1; order[key] = order[key] ? order[key] : ++n; names[n] = key
    t[key, $2] = $4; size[key, $2] = $3 }
  END {
    printf "%-34s %12s %12s %8s\n", "case", "x" small " (s)", "x" large " (s)", "ratio"
    for (i = 1; i <= n; i++) { k = names[i]; if (seen[k]++) continue
      a = t[k, small]; b = t[k, large]
      printf "%-34s %12.3f %12.3f %8.1f\n", k, a, b, (a > 0 ? b / a : 0) }
  }' "$timings"
