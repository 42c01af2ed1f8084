#!/usr/bin/env bash
# The full-screen run ("/s", and "/S" as Explorer's Test starts it) as the
# user sees it: a borderless topmost window over the whole screen, a lake
# that moves, ended by any key with exit code 0; with "Exit On Mouse Move" a
# 1-pixel move keeps it and a 2-pixel move ends it, without it clicks are
# ignored. A second start closes the earlier run. A set-up that fails shows
# its error and ends with exit code 1, with no black window left over it.
# All of it without a sound device.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 640x480
use_wine_prefix
# No sound device at all: the set-up's sound calls do nothing and the run
# renders as usual.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv=;winepulse.drv=;wineoss.drv="
source "$(dirname "$0")/shell_helpers.bash"
[ -f "$TARNWICK_WINDOWS_DIST/models/tarnwick.umf" ] || fail "no scene data in $TARNWICK_WINDOWS_DIST"
home="$(win_path "$TARNWICK_WINDOWS_DIST")"

# Starts the program with the arguments given and waits for its window.
start_run() {
  wine "$EXE" "$@" >"$TEST_TMP/run.out" 2>&1 &
  RUN=$!
  probe window "$MAIN_CLASS" 60000 >"$TEST_TMP/window.out" || { cat "$TEST_TMP/run.out"; fail "no window"; }
}
ended_with() {
  wait_for "! kill -0 $RUN" 10 || fail "the run did not end"
  wait_exit $RUN
  [ "$STATUS" = "$1" ] || fail "exit code $STATUS, expected $1"
}

note "/s without Exit On Mouse Move"
write_settings "$home" 0 1 1 12
xdotool mousemove 320 240
start_run /s
w="$TEST_TMP/window.out"
head -n1 "$w"
expect_line "$w" '^window: caption="Tarnwick 3D Screensaver" rect=0 0 640 480 client=640 480 .*topmost=1'
style=$(sed -n 's/^window: .* style=\(0x[0-9a-f]*\) .*/\1/p' "$w")
(((style & 0x00C40000) == 0)) || fail "the window has a border or caption (style $style)"
grep -Eq '^control: .*visible=1' "$w" && fail "dialog controls are visible over the lake"
mean_of_screen() {
  import -window root "$TEST_TMP/one.png" && convert "$TEST_TMP/one.png" -format '%[fx:int(mean*1000)]' info:
}
wait_for '[ "$(mean_of_screen)" -gt 50 ]' 60 || fail "the screen stays dark (mean $(mean_of_screen)/1000): no lake"
wait_for_new_frame root "$TEST_TMP/one.png" 60 500 || fail "the picture does not change"
note "lake rendered, $CHANGED pixels changed in a new frame"
xdotool click 1
xdotool mousemove_relative 40 30
presents_frames "$RUN" || fail "a click or a move ended the run without Exit On Mouse Move"
xdotool key x
ended_with 0

note "/S, with Exit On Mouse Move: 1 pixel keeps it, 2 end it"
write_settings "$home" 1 0 0 24
xdotool mousemove 200 150
start_run /S
xdotool mousemove_relative 1 1
presents_frames "$RUN" || fail "a 1-pixel move ended the run"
xdotool mousemove_relative 1 0
ended_with 0

note "a second start closes the earlier run"
write_settings "$home" 0 0 1 12
start_run /s
first=$RUN
wine "$EXE" /c >/dev/null 2>&1 &
second=$!
RUN=$first
ended_with 0
probe_matches 'Configuration' window "$MAIN_CLASS" 20000 || fail "the second start shows no dialog"
probe click "$MAIN_CLASS" Cancel
RUN=$second
ended_with 0

note "a set-up that fails"
mkdir -p "$TEST_TMP/bare/pictures"
cp "$TARNWICK_WINDOWS_DIST/pictures/logo.bmp" "$TEST_TMP/bare/pictures/"
write_settings "$(win_path "$TEST_TMP/bare")" 0 0 1 12
wine "$EXE" /s >/dev/null 2>&1 &
RUN=$!
wait_for "probe_matches '^window: caption=\"Tarnwick 3D Screensaver\"' window '#32770' 1000" 30 || fail "no error box"
probe_matches '^window:' window "$MAIN_CLASS" 500 && fail "a black window stays over the error box"
probe msgbox "Tarnwick 3D Screensaver" 1000 >"$TEST_TMP/box.out" || fail "the error box went away"
expect_line "$TEST_TMP/box.out" '^text: File not found: Z:\\.*\\bare\\models\\tarnwick\.umf$'
ended_with 1
echo PASS
