#!/usr/bin/env bash
# Installs what is missing, builds everything (native and cross), and runs
# every test: unit, CLI (natively and under Wine) and end-to-end under Wine;
# then packages the release zip from that cross build and checks it; then
# the unit and CLI tests again with sanitizers, and each fuzz target for 20
# seconds. Ends with the seconds each stage took, also when a stage fails.
set -eu
cd "$(dirname "$0")/.."

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
report() {
  local status=$?
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
stage "native tests" ctest --preset native -j2
# The release zip, packaged from the Windows programs the native build
# made, unpacked and checked; its codeloom-cli.exe runs the example cases
# under Wine.
zip_stage() {
  cmake --build --preset native --target release_zip
  local dir=build/native/windows zip
  zip=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$dir/CPackConfig.cmake").zip
  bash tests/release/check_zip.sh "$dir/$zip" build/native/release-wine
}
stage zip zip_stage
# The same unit and CLI tests under AddressSanitizer and UndefinedBehaviorSanitizer
# (any report fails the test), then a short run of every fuzz target.
sanitizer_build() {
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize
}
stage "sanitizer build" sanitizer_build
stage "sanitizer tests" ctest --preset sanitize -j2
stage fuzz bash scripts/fuzz.sh 20
