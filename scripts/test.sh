#!/usr/bin/env bash
# Installs what is missing, builds everything (native and cross), and runs
# every test: unit, CLI and end-to-end under Wine; then the unit and CLI tests
# again with sanitizers, and each fuzz target for 20 seconds.
set -eu
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
start=$(date +%s)
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native -j2
# The same unit and CLI tests under AddressSanitizer and UndefinedBehaviorSanitizer
# (any report fails the test), then a short run of every fuzz target.
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j2
bash scripts/fuzz.sh 20
echo "All tests passed in $(( $(date +%s) - start )) s."
