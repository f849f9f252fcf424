#!/usr/bin/env bash
# Unpacks the release zip and checks what a user gets: exactly the two
# programs, README.md, LICENSE and the five examples, byte for byte as in the
# repository; both programs stripped, each with its manifest, version and
# icon resources; the manifest's DPI awareness and Common Controls 6, and no
# UTF-8 code page. With a state folder for a Wine session, the unpacked
# codeloom-cli.exe also runs the example cases there.
#   check_zip.sh ZIP [WINE_STATE_DIR]
set -u
zip=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
bad() { echo "release zip: $*"; fail=1; }

name=$(basename "$zip" .zip)   # codeloom-<version>-win64
version=${name#codeloom-}
version=${version%-win64}
IFS=. read -r -a parts <<<"$version.0.0.0"
version4=${parts[0]}.${parts[1]}.${parts[2]}.${parts[3]}   # Windows versions have four parts
(cd "$work" && unzip -q "$zip") || { echo "release zip: cannot unpack $zip"; exit 1; }
top=$work/$name
[[ -d $top ]] || { echo "release zip: no folder $name inside"; exit 1; }

want="LICENSE README.md codeloom-cli.exe codeloom.exe examples/Message.bas examples/template_App.bas examples/template_Child.bas examples/template_Win.bas examples/theme.xml"
have=$(cd "$top" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
[[ $have == "$want " ]] || bad "holds '$have', expected '$want'"

for f in README.md LICENSE examples/Message.bas examples/template_App.bas examples/template_Child.bas \
         examples/template_Win.bas examples/theme.xml; do
  [[ -f $top/$f ]] && ! cmp -s "$root/$f" "$top/$f" && bad "$f differs from the repository's"
done

for exe in codeloom.exe codeloom-cli.exe; do
  path=$top/$exe
  [[ -f $path ]] || continue
  x86_64-w64-mingw32-objdump -h "$path" | grep -q '\.debug' && bad "$exe has debug sections"
  x86_64-w64-mingw32-nm "$path" 2>&1 | grep -q 'no symbols' || bad "$exe has a symbol table"
  types=$(wrestool -l "$path" | grep -oE -- '--type=[0-9]+' | sort -u | tr '\n' ' ')
  [[ $types == "--type=14 --type=16 --type=24 --type=3 " ]] || bad "$exe resources: $types"
  manifest=$(wrestool -x --raw --type=24 --name=1 "$path")
  for text in '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2' \
              '>true/pm</dpiAware>' 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
              'level="asInvoker"' "version=\"$version4\""; do
    grep -qF -- "$text" <<<"$manifest" || bad "$exe manifest lacks $text"
  done
  grep -q activeCodePage <<<"$manifest" && bad "$exe manifest sets an active code page"
  strings=$(wrestool -x --raw --type=16 "$path" | tr -d '\0')
  for text in "ProductNameCodeloom" "OriginalFilename$exe" "ProductVersion$version" \
              "FileVersion$version4" "LegalCopyright" "FileDescription"; do
    grep -qF -- "$text" <<<"$strings" || bad "$exe version resource lacks $text"
  done
done
if [[ -n ${2:-} && -f $top/codeloom-cli.exe ]]; then
  state=$(realpath -m "$2")
  bash "$root/tests/e2e/wine_session.sh" start "$state" || bad "no Wine session"
  for case_dir in "$root"/tests/cli/cases/examples/*/; do
    CODELOOM_CLI_RUNNER=$root/tests/cli/wine_run.sh CODELOOM_WINE_STATE=$state \
      bash "$root/tests/cli/run_case.sh" "$top/codeloom-cli.exe" "$case_dir" >"$work/case.log" 2>&1 ||
      { bad "the unpacked codeloom-cli.exe fails $(basename "$case_dir")"; cat "$work/case.log"; }
  done
  bash "$root/tests/e2e/wine_session.sh" stop "$state"
fi

[[ $fail == 0 ]] && echo "release zip ok: $(basename "$zip"), $(stat -c %s "$zip") bytes"
exit $fail
