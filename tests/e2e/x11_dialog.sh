#!/usr/bin/env bash
# The settings dialog on GTK 3, driven with the mouse as a user would: it
# shows the choices of the settings file, "OK" saves exactly eight lines,
# "Restore Defaults" puts the defaults back (the sound on, the primary
# monitor alone), and "Cancel" writes nothing.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_xvfb 1024x768

open_dialog() {
  "$TARNWICK" /c >"$TEST_TMP/dialog.out" 2>&1 &
  DIALOG_PID=$!
  DIALOG=$(window_named "Tarnwick 3D Screensaver Configuration" 20) || { cat "$TEST_TMP/dialog.out"; fail "no dialog"; }
}
# The dialog takes the clicks in the order they come.
click() { xdotool mousemove --sync --window "$DIALOG" $1 click 1; }
closed_with_0() {
  wait_exit "$DIALOG_PID" 10
  [ "$EXIT_CODE" = 0 ] || fail "$1: exit code $EXIT_CODE, expected 0"
}
# expect_file MOUSE FPS TIME FORMAT SOUND EVERY WHAT: the eight lines OK writes.
expect_file() {
  local expected="$TEST_TMP/expected.txt"
  printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s/\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n' \
    "$TARNWICK_DIST_DIR" "$1" "$2" "$3" "$4" "$5" "$6" >"$expected"
  cmp -s "$expected" "$SETTINGS" || fail "$7: the settings file is $(od -c "$SETTINGS" | head -20)"
}

note "the choices are loaded; unchecking one and OK saves eight lines"
write_settings 1 1 1 24
open_dialog
click "$MOUSE_EXIT"
click "$OK"
closed_with_0 "OK"
expect_file 0 1 1 24 1 0 "after unchecking \"Exit On Mouse Move\""

note "Play Sound and Show On Every Monitor: loaded, toggled and saved"
write_settings 0 0 1 12 "" 0 0
open_dialog
click "$PLAY_SOUND"
click "$EVERY_MONITOR"
click "$OK"
closed_with_0 "OK"
expect_file 0 0 1 12 1 1 "after checking \"Play Sound\" and \"Show On Every Monitor\""
open_dialog
click "$PLAY_SOUND"
click "$OK"
closed_with_0 "OK"
expect_file 0 0 1 12 0 1 "after unchecking \"Play Sound\""

note "Restore Defaults, then OK"
write_settings 1 1 0 24 "" 0 1
open_dialog
click "$RESTORE"
click "$OK"
closed_with_0 "OK"
expect_file 0 0 1 12 1 0 "after \"Restore Defaults\""

note "Cancel writes nothing, even after changes"
write_settings 1 0 0 24
cp "$SETTINGS" "$TEST_TMP/before.txt"
open_dialog
click "$FPS_SHOW"
click "$RESTORE"
click "$CANCEL"
closed_with_0 "Cancel"
cmp -s "$TEST_TMP/before.txt" "$SETTINGS" || fail "Cancel changed the settings file"

note "About... shows the about box over the dialog; its OK hides it; Escape then cancels"
open_dialog
click "$ABOUT"
about=$(window_named "About Tarnwick 3D" 10) || fail "no about box"
xdotool mousemove --sync --window "$about" 108 119 click 1
wait_for '! xdotool search --onlyvisible --name "^About Tarnwick 3D\$"' 10 || fail "the about box's OK left it shown"
click "$FPS_SHOW"
xdotool windowfocus --sync "$DIALOG" key Escape
closed_with_0 "Escape"
cmp -s "$TEST_TMP/before.txt" "$SETTINGS" || fail "Escape changed the settings file"
echo PASS
