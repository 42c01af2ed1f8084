#!/usr/bin/env bash
# The full-screen run on an X display, as a user sees it: the lake fills the
# screen and moves; a key ends it with exit code 0; with "Exit On Mouse Move"
# a 1-pixel move keeps it and a 2-pixel move ends it. At 1280 x 720 and
# 1920 x 1080.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

# start_run: the program with /s; its pid in RUN_PID once the lake shows.
start_run() {
  "$TARNWICK" /s >"$TEST_TMP/run.out" 2>&1 &
  RUN_PID=$!
  window_named "Tarnwick 3D Screensaver" >/dev/null || { cat "$TEST_TMP/run.out"; fail "no full-screen window"; }
  wait_for_lake 40 || { cat "$TEST_TMP/run.out"; fail "the lake never appeared"; }
}

# fills_screen W H: the window is as large as the screen and every corner is drawn.
fills_screen() {
  local id geometry
  id=$(window_named "Tarnwick 3D Screensaver")
  geometry=$(xwininfo -id "$id" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
  [ "$geometry" = "$1x$2" ] || fail "window is $geometry, screen is $1x$2"
  import -window root "$TEST_TMP/full.png"
  local corner
  for corner in "+0+0" "+$(($1 - 16))+0" "+0+$(($2 - 16))" "+$(($1 - 16))+$(($2 - 16))"; do
    greater "$(mean_of "$TEST_TMP/full.png" "16x16$corner")" 0.02 || fail "corner $corner of $1x$2 is black"
  done
}

start_xvfb 1280x720
write_settings 1 0 1 12
xdotool mousemove 640 360

note "the lake moves, and fills 1280 x 720"
start_run
fills_screen 1280 720
wait_for_new_frame root "$TEST_TMP/lake.png" 60 1000 || fail "the lake does not move"

note "mouse: 1 pixel on both axes keeps the run, 2 pixels end it"
xdotool mousemove_relative -- 1 1
still_running "$RUN_PID" || fail "a 1-pixel move ended the run"
xdotool mousemove_relative -- 1 0
wait_exit "$RUN_PID" 10
[ "$EXIT_CODE" = 0 ] || fail "a 2-pixel move: exit code $EXIT_CODE, expected 0"

note "any key ends the run with exit code 0"
write_settings 0 1 0 24
start_run
xdotool mousemove_relative -- 30 30 click 1
still_running "$RUN_PID" || fail "without \"Exit On Mouse Move\" a move or click ended the run"
xdotool key x
wait_exit "$RUN_PID" 10
[ "$EXIT_CODE" = 0 ] || fail "a key: exit code $EXIT_CODE, expected 0"

note "1920 x 1080"
kill "$XVFB_PID"; wait "$XVFB_PID" 2>/dev/null || true
start_xvfb 1920x1080
start_run
fills_screen 1920 1080
xdotool key Escape
wait_exit "$RUN_PID" 10
[ "$EXIT_CODE" = 0 ] || fail "Escape: exit code $EXIT_CODE, expected 0"
echo PASS
