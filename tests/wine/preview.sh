#!/usr/bin/env bash
# "/p HWND" as the control panel starts it: the program keeps no visible
# window of its own, lives as long as the preview window and ends within a
# second once the control panel destroys it (and at once when the handle
# names no window); a handle that is not a number is reported. The logo's painting is checked in one process (Wine does not
# show what one process paints into another's window): DrawPreviewLogo
# copies the bitmap unscaled to the window's top-left corner.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 800x600
use_wine_prefix
source "$(dirname "$0")/shell_helpers.bash"
write_settings "$(win_path "$TARNWICK_WINDOWS_DIST")" 0 0 1 12

note "preview inside a control panel window, then the panel closes"
probe host preview 1500 3000 "$EXE" /p "{HWND}" >"$TEST_TMP/host.out" || fail "harness failed"
cat "$TEST_TMP/host.out"
expect_line "$TEST_TMP/host.out" '^alive=1 own-visible=0 child=1$'
ended=$(sed -n 's/^ended-ms=\(-\?[0-9]*\) exit=\([0-9]*\)$/\1 \2/p' "$TEST_TMP/host.out")
[ -n "$ended" ] || fail "no end reported"
set -- $ended
[ "$1" -ge 0 ] && [ "$1" -le 1000 ] || fail "the preview outlived its window by $1 ms"
[ "$2" = 0 ] || fail "the preview ended with exit code $2"

note "a handle that is not a number"
wine "$EXE" /p abc >/dev/null 2>&1 &
pid=$!
probe msgbox "Tarnwick 3D Screensaver" 20000 >"$TEST_TMP/box.out" || fail "no error box"
expect_line "$TEST_TMP/box.out" "^text: 'abc' is not a valid integer value$"
wait_exit $pid
[ "$STATUS" = 1 ] || fail "exit code $STATUS after the conversion error, expected 1"

note "a number that names no window: the preview ends at once, quietly"
wine "$EXE" /p 999999 >/dev/null 2>&1 &
pid=$!
wait_for "! kill -0 $pid" 10 || fail "a preview without a window keeps running"
wait_exit $pid
[ "$STATUS" = 0 ] || fail "exit code $STATUS for a preview without a window, expected 0"

note "the logo painted at (0, 0), unscaled"
# 40 x 30, one colour inside, others on the corners.
logo="$TEST_TMP/logo.bmp"
convert -size 40x30 'xc:#204060' -fill '#C08010' -draw 'point 0,0' -fill '#10E030' -draw 'point 39,29' \
  -fill '#F0F0F0' -draw 'point 39,0' BMP3:"$logo"
wine "$TARNWICK_WINDOWS_BIN/logoprobe.exe" "$(win_path "$logo")" 0 0 1 1 39 0 39 29 40 0 0 30 40 30 |
  tr -d '\r' >"$TEST_TMP/logo.out" || fail "logoprobe failed"
cat "$TEST_TMP/logo.out"
expect_line "$TEST_TMP/logo.out" '^logo: 40 30$'
expect_line "$TEST_TMP/logo.out" '^pixel 0 0 C08010$'
expect_line "$TEST_TMP/logo.out" '^pixel 1 1 204060$'
expect_line "$TEST_TMP/logo.out" '^pixel 39 0 F0F0F0$'
expect_line "$TEST_TMP/logo.out" '^pixel 39 29 10E030$'
# Just beyond the logo the window's own grey shows: nothing was stretched.
expect_line "$TEST_TMP/logo.out" '^pixel 40 0 808080$'
expect_line "$TEST_TMP/logo.out" '^pixel 0 30 808080$'
expect_line "$TEST_TMP/logo.out" '^pixel 40 30 808080$'
echo PASS
