#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end the settings dialog (also with its about box
# up, and when the settings name a home directory that is missing, which
# still opens it) and a message box promptly, with exit code 0, writing
# nothing. A stop that comes while the full-screen run loads its scene ends
# the run before its window ever maps.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_xvfb 1024x768
RUN_PID=""
on_exit '[ -z "$RUN_PID" ] || kill -KILL "$RUN_PID" 2>/dev/null'

# stop_with SIGNAL WHAT: sends the signal to RUN_PID; it must end with 0 within 5 s.
stop_with() {
  local start end
  start=$(date +%s%N)
  kill "-$1" "$RUN_PID"
  wait_exit "$RUN_PID" 5
  end=$(date +%s%N)
  [ "$EXIT_CODE" = 0 ] || { cat "$TEST_TMP/run.out"; fail "$2 after SIG$1: exit code $EXIT_CODE, expected 0"; }
  RUN_PID=""
  note "$2 ended $(((end - start) / 1000000)) ms after SIG$1"
}
# The settings file as it was, and no half-written one beside it.
file_untouched() {
  cmp -s "$TEST_TMP/before.txt" "$SETTINGS" || fail "$1 changed the settings file"
  [ -z "$(find "$(dirname "$SETTINGS")" -name 'tarnwick.txt?*')" ] || fail "$1 left a half-written file"
}
open_dialog() {
  "$TARNWICK" /c >"$TEST_TMP/run.out" 2>&1 &
  RUN_PID=$!
  DIALOG=$(window_named "Tarnwick 3D Screensaver Configuration" 20) || { cat "$TEST_TMP/run.out"; fail "no dialog"; }
}

write_settings 1 0 1 12
cp "$SETTINGS" "$TEST_TMP/before.txt"
note "the settings dialog"
open_dialog
stop_with TERM "the dialog"
file_untouched "the dialog"

note "the settings dialog with its about box up"
open_dialog
click_until_window "$DIALOG" "$ABOUT" "About Tarnwick 3D" >/dev/null || fail "no about box"
stop_with HUP "the dialog under the about box"
file_untouched "the dialog under the about box"

note "the settings dialog over a missing home directory"
printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n1\r\n1\r\n1\r\n24\r\n' \
  "$TEST_TMP/nowhere" >"$SETTINGS"
cp "$SETTINGS" "$TEST_TMP/before.txt"
open_dialog
stop_with INT "the dialog over a missing home directory"
file_untouched "the dialog over a missing home directory"

note "the \"File not found\" box of a start whose home directory holds no scene"
printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n1\r\n1\r\n1\r\n24\r\n' \
  "$TEST_TMP" >"$SETTINGS"
cp "$SETTINGS" "$TEST_TMP/before.txt"
"$TARNWICK" /s >"$TEST_TMP/run.out" 2>&1 &
RUN_PID=$!
window_named "Tarnwick 3D Screensaver" 20 >/dev/null || { cat "$TEST_TMP/run.out"; fail "no error box"; }
grep -q "File not found" "$TEST_TMP/run.out" || { cat "$TEST_TMP/run.out"; fail "the box is not \"File not found\""; }
stop_with TERM "the error box"
file_untouched "the error box"

note "a stop while the full-screen run loads: no window maps"
[ -x "$X11TEST" ] || fail "no $X11TEST"
rm "$SETTINGS" # the run says on stderr which data it takes, then loads it
"$X11TEST" maps >"$TEST_TMP/maps.out" 2>&1 &
MAPS_PID=$!
on_exit 'kill "$MAPS_PID" 2>/dev/null'
wait_line "$TEST_TMP/maps.out" ready 10 || fail "the map watcher did not start"
mkfifo "$TEST_TMP/stderr"
"$TARNWICK" /s >"$TEST_TMP/run.out" 2>"$TEST_TMP/stderr" &
RUN_PID=$!
exec 4<"$TEST_TMP/stderr"
read -r -t 20 line <&4 || fail "the run said nothing before loading"
kill -TERM "$RUN_PID"
cat <&4 >"$TEST_TMP/rest.out" &
wait_exit "$RUN_PID" 20
[ "$EXIT_CODE" = 0 ] || fail "the run stopped while loading: exit code $EXIT_CODE"
RUN_PID=""
# A window of the test's own maps after the run's end; once the watcher has
# seen it, it has seen every map before it.
make_target_window 100x100+0+0
on_exit 'kill "$TARGET_PID" 2>/dev/null'
wait_line "$TEST_TMP/maps.out" mapped 10 || fail "the map watcher saw no window map"
[ "$(grep -c mapped "$TEST_TMP/maps.out")" = 1 ] || fail "a window mapped after the stop ($line)"
echo PASS
