#!/usr/bin/env bash
# The Windows zip that `make package` writes: one folder holding the program
# as "Tarnwick.scr", still carrying the description the control panel lists,
# beside the scene's data and a README.txt in Windows line ends that says how
# to install, where the settings live and how to uninstall.
source "$(dirname "$0")/../lib/common.sh"
version=$(sed -n 's/.*TarnwickVersion\[\] = "\([^"]*\)".*/\1/p' "$TARNWICK_BUILD_DIR/generated/tarnwick_version.h")
[ -n "$version" ] || fail "no version in $TARNWICK_BUILD_DIR/generated/tarnwick_version.h"
zip="$TARNWICK_BUILD_DIR/../packages/tarnwick-${version}-windows-x64.zip"
[ -f "$zip" ] || fail "no $zip: \`make package\` writes it"
unzip -tq "$zip" >/dev/null || fail "$zip is damaged"

note "one folder: Tarnwick.scr, README.txt and the data"
unpacked="$TEST_TMP/unpacked"
unzip -q "$zip" -d "$unpacked"
top="tarnwick-${version}-windows-x64"
[ "$(ls "$unpacked")" = "$top" ] || fail "the zip does not hold the one folder $top: $(ls "$unpacked")"
(
  printf '%s\n' README.txt Tarnwick.scr
  cd "$TARNWICK_WINDOWS_DIST" && find models sounds pictures -type f
) | sort >"$TEST_TMP/expected"
(cd "$unpacked/$top" && find . -type f | sed 's|^\./||' | sort) >"$TEST_TMP/actual"
diff "$TEST_TMP/expected" "$TEST_TMP/actual" || fail "the zip's files differ (< missing, > extra)"
scr="$unpacked/$top/Tarnwick.scr"
file -b "$scr" | grep -q '^PE32+ executable (GUI) x86-64' || fail "Tarnwick.scr is not a 64-bit Windows program: $(file -b "$scr")"
grep -aq 'SCRNSAVE Tarnwick 3D Screensaver' "$scr" || fail "Tarnwick.scr lost its screensaver description"
cmp -s "$TARNWICK_WINDOWS_DIST/models/tarnwick.umf" "$unpacked/$top/models/tarnwick.umf" ||
  fail "the zipped lake model differs from the build's: \`make package\` again"

note "README.txt"
readme="$unpacked/$top/README.txt"
cat "$readme"
[ "$(grep -c $'\r$' "$readme")" = "$(wc -l <"$readme")" ] || fail "README.txt has lines without Windows line ends"
for text in "version $version" 'Tarnwick.scr /i' 'Tarnwick.scr /u' 'tarnwick.txt' 'System32'; do
  grep -qF "$text" "$readme" || fail "README.txt does not mention \"$text\""
done
echo PASS
