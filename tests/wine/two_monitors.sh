#!/usr/bin/env bash
# The full-screen run with two monitors (Wine reports the two Xinerama heads
# of the X server as two monitors): the main window stays maximised on the
# primary monitor with the lake, a black, borderless, topmost window hides
# the desktop on the other, and input over that window ends the run as over
# the main one: a key, a left click and a 2-pixel move with "Exit On Mouse
# Move"; a right click and a 1-pixel move do not. Both windows go with the run.
# With "Show On Every Monitor" one window spans both monitors, with no cover,
# and each shows the same lake, clock and counter.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/shell_helpers.bash"
start_two_heads
use_wine_prefix
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv=;winepulse.drv=;wineoss.drv="
home="$(win_path "$TARNWICK_WINDOWS_DIST")"
COVER_CLASS=TTarnwickScreensaverCover
HEAD1=1280x720+0+0
HEAD2=1280x720+1280+0

mean_of() { convert "$1" -crop "$2" -format '%[fx:mean]' info:; }
saturation_of() { convert "$1" -crop "$2" -colorspace HSL -channel G -separate +channel -format '%[fx:mean]' info:; }
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
# The lake (coloured) on head 1 and black on head 2 in one screenshot.
lake_and_black() {
  import -window root "$TEST_TMP/shot.png" 2>/dev/null &&
    greater "$(saturation_of "$TEST_TMP/shot.png" "$HEAD1")" 0.1 &&
    ! greater "$(mean_of "$TEST_TMP/shot.png" "$HEAD2")" 0.02
}
start_run() {
  wine "$EXE" /s >"$TEST_TMP/run.out" 2>&1 &
  RUN=$!
  probe window "$MAIN_CLASS" 60000 >"$TEST_TMP/window.out" || { cat "$TEST_TMP/run.out"; fail "no window"; }
  probe windows "$COVER_CLASS" 1 20000 >"$TEST_TMP/covers.out" || { cat "$TEST_TMP/covers.out"; fail "no cover window"; }
  wait_for lake_and_black 40 || { cat "$TEST_TMP/run.out"; fail "no lake on monitor 1 with black on monitor 2"; }
}
ended_with_windows_gone() {
  wait_for "! kill -0 $RUN" 10 || fail "$1: the run did not end"
  wait_exit $RUN
  [ "$STATUS" = 0 ] || fail "$1: exit code $STATUS, expected 0"
  probe gone "$COVER_CLASS" 5000 || fail "$1: a cover window stays"
}

import -window root "$TEST_TMP/root.png"
greater "$(mean_of "$TEST_TMP/root.png" "$HEAD2")" 0.1 || fail "the bare root of head 2 is dark already"
probe monitors >"$TEST_TMP/monitors.out"
cat "$TEST_TMP/monitors.out"
expect_line "$TEST_TMP/monitors.out" '^monitor: rect=0 0 1280 720 primary=1$'
expect_line "$TEST_TMP/monitors.out" '^monitor: rect=1280 0 1280 720 primary=0$'

note "lake on the primary monitor, black on the other; a key after a click there ends the run"
write_settings "$home" 0 0 1 12
xdotool mousemove 640 360
start_run
expect_line "$TEST_TMP/window.out" '^window: caption="Tarnwick 3D Screensaver" rect=0 0 1280 720 .*topmost=1'
expect_line "$TEST_TMP/covers.out" '^window: .* rect=1280 0 1280 720 .*topmost=1$'
[ "$(grep -c '^window:' "$TEST_TMP/covers.out")" = 1 ] || fail "more than one cover: $(cat "$TEST_TMP/covers.out")"
style=$(sed -n 's/^window: .* style=\(0x[0-9a-f]*\) .*/\1/p' "$TEST_TMP/covers.out")
(((style & 0x00C40000) == 0)) || fail "the cover has a border or caption (style $style)"
note "monitor 1 saturation $(saturation_of "$TEST_TMP/shot.png" "$HEAD1"), monitor 2 mean $(mean_of "$TEST_TMP/shot.png" "$HEAD2")"
xdotool mousemove 1920 360 click 1
presents_frames "$RUN" || fail "without \"Exit On Mouse Move\" a move or click on monitor 2 ended the run"
xdotool key x
ended_with_windows_gone "a key"

note "Exit On Mouse Move on monitor 2: a right click and 1 pixel keep the run, 2 pixels end it"
write_settings "$home" 1 0 0 24
xdotool mousemove 1920 360
start_run
xdotool click 3 mousemove_relative -- 1 1
presents_frames "$RUN" || fail "a right click or a 1-pixel move on monitor 2 ended the run"
xdotool mousemove_relative -- 1 0
ended_with_windows_gone "a 2-pixel move"

note "a left click on monitor 2 ends the run"
xdotool mousemove 1920 360
start_run
xdotool click 1
ended_with_windows_gone "a left click"

note "Show On Every Monitor: one window over both monitors, the same lake on each"
write_settings "$home" 0 1 1 24 1 1
lake_on_both() {
  import -window root "$TEST_TMP/shot.png" 2>/dev/null &&
    greater "$(saturation_of "$TEST_TMP/shot.png" "$HEAD1")" 0.1 &&
    greater "$(saturation_of "$TEST_TMP/shot.png" "$HEAD2")" 0.1
}
xdotool mousemove 640 360
wine "$EXE" /s >"$TEST_TMP/run.out" 2>&1 &
RUN=$!
probe window "$MAIN_CLASS" 60000 >"$TEST_TMP/window.out" || { cat "$TEST_TMP/run.out"; fail "no window"; }
wait_for lake_on_both 60 || { cat "$TEST_TMP/run.out"; fail "the lake is not on both monitors"; }
probe window "$MAIN_CLASS" 5000 >"$TEST_TMP/window.out"
expect_line "$TEST_TMP/window.out" '^window: caption="Tarnwick 3D Screensaver" rect=0 0 2560 720 .*topmost=1'
probe gone "$COVER_CLASS" 1000 || fail "a cover window hides a monitor"
convert "$TEST_TMP/shot.png" -crop "$HEAD1" +repage "$TEST_TMP/head1.png"
convert "$TEST_TMP/shot.png" -crop "$HEAD2" +repage "$TEST_TMP/head2.png"
differing=$(pixels_differ "$TEST_TMP/head1.png" "$TEST_TMP/head2.png")
note "pixels differing between the monitors: $differing of $((1280 * 720))"
[ "$differing" -lt 9216 ] || fail "the monitors show different pictures ($differing pixels differ)"
xdotool mousemove 1920 360 key x
wait_for "! kill -0 $RUN" 10 || fail "a key did not end the run"
wait_exit $RUN
[ "$STATUS" = 0 ] || fail "a key: exit code $STATUS, expected 0"
echo PASS
