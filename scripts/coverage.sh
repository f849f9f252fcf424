#!/usr/bin/env bash
# Line and branch coverage of the pure engines by the unit and CLI tests.
# Builds the `coverage` preset (gcc --coverage, Debug, build/coverage), runs
# the unit.* and cli.* tests, and prints lcov's summary and per-file table.
# Branches that exist only for exceptions thrown by the standard library
# (gcov marks them "throw"), with the normal arc of the same call, are left
# out: they are no decision of the code, and the engines throw none and
# catch none. lcov's own switch for that (geninfo_no_exception_branch) is passed
# too, but Debian 12's geninfo ignores it, so the script drops them itself
# with gcov's JSON output.
# Clean-up branches that gcov does not mark (flags telling which temporaries
# to destroy while an exception unwinds) are not left out here: the engines
# are written so the compiler needs none, e.g. control tables of constant data
# added with emplace_back rather than braced std::string temporaries.
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
python3 - "$dir" <<'PY'
import glob, gzip, json, os, subprocess, sys
build = sys.argv[1]
throw = {}  # (source, line) -> indexes of the line's exception branches
for gcda in glob.glob(f"{build}/CMakeFiles/codeloom_core.dir/**/*.gcda", recursive=True):
    out = subprocess.run(["gcov", "--json-format", "--branch-probabilities", "--stdout", "-o", os.path.dirname(gcda), gcda],
                         capture_output=True, check=True).stdout
    for chunk in out.splitlines():
        for f in json.loads(chunk)["files"]:
            source = os.path.realpath(f["file"])
            for line in f["lines"]:
                # A call that may throw has two arcs: the normal one just
                # before its throw arc. Neither is a decision of the code.
                branches = line["branches"]
                marks = {j for i, b in enumerate(branches) if b["throw"] for j in (i - 1, i)
                         if j >= 0 and (j == i or not branches[j]["throw"])}
                if marks:
                    throw.setdefault((source, line["line_number"]), set()).update(marks)
info = f"{build}/engines.info"
out, found, hit, source = [], 0, 0, ""
for line in open(info):
    if line.startswith("SF:"):
        source, found, hit = os.path.realpath(line[3:].strip()), 0, 0
    elif line.startswith("BRDA:"):
        number, _, index, count = line[5:].strip().split(",")
        if int(index) in throw.get((source, int(number)), ()):
            continue
        found += 1
        hit += count not in ("-", "0")
    elif line.startswith("BRF:"):
        line = f"BRF:{found}\n"
    elif line.startswith("BRH:"):
        line = f"BRH:{hit}\n"
    out.append(line)
open(info, "w").writelines(out)
PY
lcov "${rc[@]}" --list "$dir/engines.info"
lcov "${rc[@]}" --summary "$dir/engines.info"
genhtml --quiet "${rc[@]}" --output-directory "$dir/html" "$dir/engines.info" >/dev/null
