#!/usr/bin/env bash
# Line and branch coverage of the pure engines by the unit and CLI tests.
# Builds the `coverage` preset (gcc --coverage, Debug, build/coverage), runs
# the unit.* and cli.* tests, and prints lcov's summary and per-file table.
# Branches that exist only for exceptions thrown by the standard library are
# left out: the engines throw none and catch none.
# HTML report: build/coverage/html/index.html.
set -eu
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=build/coverage
rc=(--rc lcov_branch_coverage=1 --rc geninfo_no_exception_branch=1)

cmake --preset coverage >/dev/null
cmake --build --preset coverage
lcov --quiet --zerocounters --directory "$dir"
ctest --preset coverage -j2 >"$dir/ctest.log" || { tail -40 "$dir/ctest.log"; exit 1; }
tail -3 "$dir/ctest.log"

lcov --quiet "${rc[@]}" --capture --directory "$dir" --base-directory . \
     --output-file "$dir/all.info"
src=$PWD/src
lcov --quiet "${rc[@]}" --extract "$dir/all.info" \
     "$src/headers/*.cpp" "$src/forum/*.cpp" "$src/templates/*.cpp" "$src/classgen/*.cpp" \
     "$src/app/settings.cpp" "$src/app/new_guid.cpp" "$src/app/ide_locator.cpp" \
     "$src/platform/text_lines.*" "$src/platform/file_picker.cpp" \
     "$src/platform/safe_write.cpp" "$src/platform/ansi_common.cpp" \
     "$src/platform/ansi_portable.cpp" \
     --output-file "$dir/engines.info"
lcov --quiet "${rc[@]}" --remove "$dir/engines.info" "*_test.cpp" --output-file "$dir/engines.info"
lcov "${rc[@]}" --list "$dir/engines.info"
lcov "${rc[@]}" --summary "$dir/engines.info"
genhtml --quiet "${rc[@]}" --output-directory "$dir/html" "$dir/engines.info" >/dev/null
