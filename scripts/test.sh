#!/usr/bin/env bash
# Installs what is missing, builds everything (native and cross), and runs
# every test: unit, CLI (natively and under Wine) and end-to-end under Wine;
# then builds the release zip and checks it; then the unit and CLI tests
# again with sanitizers, and each fuzz target for 20 seconds.
set -eu
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
start=$(date +%s)
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native -j2
# The release zip from the mingw-cross preset, unpacked and checked; its
# codeloom-cli.exe runs the example cases under Wine.
cmake --preset mingw-cross >/dev/null
cmake --build --preset mingw-cross --target package
zip=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' build/mingw-cross/CPackConfig.cmake).zip
bash tests/release/check_zip.sh "build/mingw-cross/$zip" build/mingw-cross/release-wine
# The same unit and CLI tests under AddressSanitizer and UndefinedBehaviorSanitizer
# (any report fails the test), then a short run of every fuzz target.
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j2
bash scripts/fuzz.sh 20
echo "All tests passed in $(( $(date +%s) - start )) s."
