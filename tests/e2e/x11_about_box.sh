#!/usr/bin/env bash
# The settings dialog is disabled while its about box shows: the dialog's
# close box does nothing then; closing the about box (with its own close box)
# enables the dialog again, and the dialog's close box then ends the program
# as Cancel does, saving nothing.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_xvfb 1024x768
CAPTION="Tarnwick 3D Screensaver Configuration"

open_dialog() {
  "$TARNWICK" /c >"$TEST_TMP/dialog.out" 2>&1 &
  DIALOG_PID=$!
  DIALOG=$(window_named "$CAPTION" 20) || { cat "$TEST_TMP/dialog.out"; fail "no dialog"; }
}
# expect_file MOUSE FPS TIME FORMAT WHY (the sound on, the primary monitor alone)
expect_file() {
  printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s/\r\n%s\r\n%s\r\n%s\r\n%s\r\n1\r\n0\r\n' \
    "$TARNWICK_DIST_DIR" "$1" "$2" "$3" "$4" >"$TEST_TMP/expected.txt"
  cmp -s "$TEST_TMP/expected.txt" "$SETTINGS" || fail "$5: the settings file is $(od -c "$SETTINGS" | head -20)"
}

write_settings 1 0 1 12
note "the dialog's close box does nothing while the about box shows"
open_dialog
about=$(click_until_window "$DIALOG" "$ABOUT" "About Tarnwick 3D") || fail "no about box"
close_window "$DIALOG"
# The program sees its events in order: the dialog's close request comes
# before the about box's, and both before the clicks below.
close_window "$about"
wait_for "! xdotool search --onlyvisible --name '^About Tarnwick 3D\$'" 10 || fail "the about box's close box left it shown"
window_named "$CAPTION" 1 >/dev/null || fail "the dialog's close box ended it while the about box showed"
# Enabled again: a choice and OK are taken.
xdotool mousemove --sync --window "$DIALOG" $FPS_SHOW click 1
xdotool mousemove --sync --window "$DIALOG" $OK click 1
wait_exit "$DIALOG_PID" 10
[ "$EXIT_CODE" = 0 ] || fail "OK: exit code $EXIT_CODE, expected 0"
expect_file 1 1 1 12 "the dialog did not outlive its close box under the about box"

note "without the about box the close box ends the dialog, saving nothing"
write_settings 0 1 0 24
cp "$SETTINGS" "$TEST_TMP/before.txt"
open_dialog
close_window "$DIALOG"
wait_exit "$DIALOG_PID" 10
[ "$EXIT_CODE" = 0 ] || fail "the close box: exit code $EXIT_CODE, expected 0"
cmp -s "$TEST_TMP/before.txt" "$SETTINGS" || fail "the close box changed the settings file"
echo PASS
