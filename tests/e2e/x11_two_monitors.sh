#!/usr/bin/env bash
# The full-screen run on two monitors side by side: the lake fills the first
# (primary) head at its size, a black borderless window hides the desktop on
# the second, and input over that window ends the run as over the main one:
# a key, a left click and a 2-pixel move with "Exit On Mouse Move"; a right
# click and a 1-pixel move do not. Both windows go when the run ends.
# With "Show On Every Monitor" (line 8 of the settings) one window spans both
# heads and each shows the same lake, clock and counter, with one waterfall
# playing, also under a window manager; with the line at 0 the second head
# stays black.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

HEAD1=1280x720+0+0
HEAD2=1280x720+1280+0
MAIN_CLASS=TTarnwickScreensaverMainWindow
COVER_CLASS=TTarnwickScreensaverCover

# The mean colour saturation (0..1) of a screenshot region: the lake is
# coloured, the grey weave of the root and black are not.
saturation_of() { convert "$1" -crop "$2" -colorspace HSL -channel G -separate +channel -format '%[fx:mean]' info:; }
# The geometry of the visible window of class $1 as WxH+X+Y.
geometry_of() {
  local id
  id=$(xdotool search --onlyvisible --class "^$1\$" 2>/dev/null | head -n1) || return 1
  [ -n "$id" ] || return 1
  xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h "+" x "+" y}'
}
# The lake on head 1 and black on head 2 in one screenshot.
lake_and_black() {
  import -window root "$TEST_TMP/shot.png" 2>/dev/null &&
    greater "$(saturation_of "$TEST_TMP/shot.png" "$HEAD1")" 0.1 &&
    ! greater "$(mean_of "$TEST_TMP/shot.png" "$HEAD2")" 0.02
}
# start_run: the program with /s; its pid in RUN_PID once both windows show.
start_run() {
  "$TARNWICK" /s >"$TEST_TMP/run.out" 2>&1 &
  RUN_PID=$!
  wait_for "geometry_of $MAIN_CLASS && geometry_of $COVER_CLASS" 30 ||
    { cat "$TEST_TMP/run.out"; xwininfo -root -children; fail "no main window and cover window"; }
  wait_for lake_and_black 40 || { cat "$TEST_TMP/run.out"; fail "no lake on head 1 with black on head 2"; }
}
ended_with_windows_gone() {
  wait_exit "$RUN_PID" 10
  [ "$EXIT_CODE" = 0 ] || fail "$1: exit code $EXIT_CODE, expected 0"
  [ -z "$(xdotool search --class "^TTarnwickScreensaver" 2>/dev/null)" ] || fail "$1: a window stays after the run"
}

start_two_heads
import -window root "$TEST_TMP/root.png"
greater "$(mean_of "$TEST_TMP/root.png" "$HEAD2")" 0.1 || fail "the bare root of head 2 is dark already"

note "lake on head 1 at its size, black on head 2; a key on head 2's window ends the run"
write_settings 0 0 1 12 "" 1 0
xdotool mousemove 640 360
start_run
[ "$(geometry_of $MAIN_CLASS)" = "$HEAD1" ] || fail "the main window is $(geometry_of $MAIN_CLASS), head 1 is $HEAD1"
[ "$(geometry_of $COVER_CLASS)" = "$HEAD2" ] || fail "the cover is $(geometry_of $COVER_CLASS), head 2 is $HEAD2"
for corner in 16x16+0+0 16x16+1264+0 16x16+0+704 16x16+1264+704; do
  greater "$(mean_of "$TEST_TMP/shot.png" "$corner")" 0.02 || fail "corner $corner of head 1 is black"
done
note "head 1 saturation $(saturation_of "$TEST_TMP/shot.png" "$HEAD1"), head 2 mean $(mean_of "$TEST_TMP/shot.png" "$HEAD2")"
xdotool mousemove 1920 360 click 1
still_running "$RUN_PID" || fail "without \"Exit On Mouse Move\" a move or click on head 2 ended the run"
xdotool windowfocus --sync "$(xdotool search --class "^$COVER_CLASS\$" | head -n1)" key x
ended_with_windows_gone "a key on head 2"

note "Exit On Mouse Move on head 2: a right click and 1 pixel keep the run, 2 pixels end it"
write_settings 1 0 0 24
xdotool mousemove 1920 360
start_run
xdotool click 3 mousemove_relative -- 1 1
still_running "$RUN_PID" || fail "a right click or a 1-pixel move on head 2 ended the run"
xdotool mousemove_relative -- 1 0
ended_with_windows_gone "a 2-pixel move on head 2"

note "a left click on head 2 ends the run"
xdotool mousemove 1920 360
start_run
xdotool click 1
ended_with_windows_gone "a left click on head 2"

note "Show On Every Monitor: one window over both heads, the same lake on each, one stream, under openbox"
# openbox keeps a full-screen window to one monitor: the spanning window must
# not be left to it.
start_openbox
start_pulse
write_settings 0 1 1 24 "" 1 1
# The lake on both heads, and the two heads alike: the same water, clock and
# counter in the same frame.
lake_on_both() {
  import -window root "$TEST_TMP/shot.png" 2>/dev/null &&
    greater "$(saturation_of "$TEST_TMP/shot.png" "$HEAD1")" 0.1 &&
    greater "$(saturation_of "$TEST_TMP/shot.png" "$HEAD2")" 0.1
}
ALSOFT_DRIVERS=pulse "$TARNWICK" /s >"$TEST_TMP/run.out" 2>&1 &
RUN_PID=$!
wait_for "geometry_of $MAIN_CLASS" 30 || { cat "$TEST_TMP/run.out"; fail "no main window"; }
wait_for lake_on_both 40 || { cat "$TEST_TMP/run.out"; fail "the lake is not on both heads"; }
[ "$(geometry_of $MAIN_CLASS)" = 2560x720+0+0 ] || fail "the main window is $(geometry_of $MAIN_CLASS), not both heads"
[ -z "$(xdotool search --class "^$COVER_CLASS\$" 2>/dev/null)" ] || fail "a cover window hides a head"
convert "$TEST_TMP/shot.png" -crop "$HEAD1" +repage "$TEST_TMP/head1.png"
convert "$TEST_TMP/shot.png" -crop "$HEAD2" +repage "$TEST_TMP/head2.png"
differing=$(pixels_differ "$TEST_TMP/head1.png" "$TEST_TMP/head2.png")
note "pixels differing between the heads: $differing of $((1280 * 720))"
[ "$differing" -lt 9216 ] || fail "the heads show different pictures ($differing pixels differ)"
for corner in 16x16+1280+0 16x16+2544+0 16x16+1280+704 16x16+2544+704; do
  greater "$(mean_of "$TEST_TMP/shot.png" "$corner")" 0.02 || fail "corner $corner of head 2 is black"
done
wait_for sink_in_use 60 || { cat "$TEST_TMP/run.out"; fail "no stream plays"; }
[ "$(pactl list sink-inputs short | wc -l)" = 1 ] || fail "$(pactl list sink-inputs short | wc -l) streams play"
xdotool mousemove 1920 360 key x
ended_with_windows_gone "a key with the lake on both heads"
wait_for '! sink_in_use' 10 || fail "the stream stays after the run"
echo PASS
