#!/usr/bin/env bash
# With "Exit On Mouse Move" checked, a click ends the full-screen run only if
# it is a left click, as on Windows: the middle and the right button (and the
# wheel) leave it running.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_xvfb 1280x720
write_settings 1 0 1 12
xdotool mousemove 640 360
"$TARNWICK" /s >"$TEST_TMP/run.out" 2>&1 &
RUN_PID=$!
window_named "Tarnwick 3D Screensaver" >/dev/null || { cat "$TEST_TMP/run.out"; fail "no full-screen window"; }
wait_for_lake 40 || { cat "$TEST_TMP/run.out"; fail "the lake never appeared"; }

note "middle and right clicks and the wheel leave the run going"
xdotool click 2 click 3 click 4 click 5
still_running "$RUN_PID" || fail "a middle or right click (or the wheel) ended the run"

note "a left click ends it"
xdotool click 1
wait_exit "$RUN_PID" 10
[ "$EXIT_CODE" = 0 ] || fail "a left click: exit code $EXIT_CODE, expected 0"
echo PASS
