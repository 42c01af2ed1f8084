#!/usr/bin/env bash
# Another client holds the keyboard when the full-screen run starts (a menu
# open, a drag under way): the run draws all the same, takes the keyboard as
# soon as the other client lets it go, and then a key ends it.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"
[ -x "$X11TEST" ] || fail "no $X11TEST"

start_xvfb 1280x720
write_settings 0 0 1 12
"$X11TEST" grab >"$TEST_TMP/grab.out" 2>&1 &
GRAB_PID=$!
on_exit 'kill "$GRAB_PID" 2>/dev/null'
wait_line "$TEST_TMP/grab.out" grabbed 20 || fail "the other client did not get the keyboard"

note "the run starts and draws while the keyboard is held"
"$TARNWICK" /s >"$TEST_TMP/run.out" 2>&1 &
RUN_PID=$!
window_named "Tarnwick 3D Screensaver" >/dev/null || { cat "$TEST_TMP/run.out"; fail "no full-screen window"; }
wait_for_lake 40 || { cat "$TEST_TMP/run.out"; fail "the lake never appeared"; }
import -window root "$TEST_TMP/a.png"
wait_for_new_frame root "$TEST_TMP/a.png" 60 1000 || fail "while the keyboard is held the frames stand still"

note "the other client lets go and takes the focus: the run takes the keyboard"
kill -USR1 "$GRAB_PID"
wait_line "$TEST_TMP/grab.out" released 10 || fail "the other client did not let go"
wait_line "$TEST_TMP/grab.out" taken 20 || fail "the run never took the keyboard after the other client let it go"
xdotool key x
wait_exit "$RUN_PID" 10
[ "$EXIT_CODE" = 0 ] || fail "a key: exit code $EXIT_CODE, expected 0"
echo PASS
