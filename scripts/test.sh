#!/usr/bin/env bash
# Installs what is missing, builds everything (native and cross), and runs
# every test: unit, CLI (natively and under Wine) and end-to-end under Wine;
# then packages the release zip from that cross build and checks it; then
# the unit and CLI tests again with sanitizers, and each fuzz target for 20
# seconds. Ends with the seconds each stage took, also when a stage fails.
set -eu
cd "$(dirname "$0")/.."
# ccache, when installed, keys its entries by paths relative to the clone,
# so that a new clone of the same sources reuses them; precompiled headers
# need the two sloppiness settings to be cached at all.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1 CCACHE_SLOPPINESS=pch_defines,time_macros

# stage NAME COMMAND...: runs COMMAND and records its seconds under NAME.
# The table is printed on exit, so a failed run shows it too.
stages=()
current=
stage() {
  current=$1
  local begin=$SECONDS
  shift
  "$@"
  stages+=("$(printf '%-16s %4d' "$current" $((SECONDS - begin)))")
  current=
}
later_builds_pid=
report() {
  local status=$?
  # The later builds may have ended already; the table is printed either way.
  [[ -n $later_builds_pid ]] && { kill -- "-$later_builds_pid" 2>/dev/null || true; }
  [[ -n $current ]] && stages+=("$(printf '%-16s %4s' "$current" failed)")
  echo "Seconds per stage:"
  printf '  %s\n' "${stages[@]}"
  printf '  %-16s %4d\n' total "$SECONDS"
  [[ $status == 0 ]] && echo "All tests passed."
  return "$status"
}
trap report EXIT

stage deps bash scripts/install-deps.sh
native_build() {
  cmake --preset native >/dev/null
  cmake --build --preset native
}
stage "native build" native_build
# The sanitizer and fuzz builds compile at the lowest priority beside the
# native tests and the zip check, which spend much of their time waiting on
# Wine; their stages below wait for what is left of them.
later_builds_log=build/later-builds.log
later_builds() {
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize
  bash scripts/fuzz.sh --build-only
}
mkdir -p build
# A session of its own, so that a failed run ends the whole build with it.
setsid nice -n 19 bash -c "$(declare -f later_builds); set -eu; later_builds" >"$later_builds_log" 2>&1 &
later_builds_pid=$!
wait_for_later_builds() {
  local status=0
  wait "$later_builds_pid" || status=$?
  later_builds_pid=
  cat "$later_builds_log"
  return "$status"
}
stage "native tests" ctest --preset native -j2
# The release zip, packaged from the Windows programs the native build
# made, unpacked and checked; its codeloom-cli.exe runs the example cases
# under Wine, in the prefix the end-to-end tests made (a new one costs 15 s).
zip_stage() {
  cmake --build --preset native --target release_zip
  local dir=build/native/windows zip
  zip=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$dir/CPackConfig.cmake").zip
  bash tests/release/check_zip.sh "$dir/$zip" build/native/tests/e2e/wine
}
stage zip zip_stage
# The same unit and CLI tests under AddressSanitizer and UndefinedBehaviorSanitizer
# (any report fails the test), then a short run of every fuzz target.
stage "sanitizer build" wait_for_later_builds
stage "sanitizer tests" ctest --preset sanitize -j2
stage fuzz bash scripts/fuzz.sh 20
