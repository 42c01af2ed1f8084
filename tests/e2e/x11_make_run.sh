#!/usr/bin/env bash
# `make run` (scripts/run.sh) as a new user meets it: without a settings file
# it writes none (the program needs none); without a display it says so
# and writes a snapshot PNG of the scene; with one it runs the screensaver,
# which a key ends.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"
run="$TARNWICK_SOURCE_DIR/scripts/run.sh"
snapshot="$TARNWICK_DIST_DIR/tarnwick-snapshot.png"
on_exit 'rm -f "$snapshot"'

note "no display: a message and a snapshot"
rm -f "$snapshot"
(unset DISPLAY; "$run" "$TARNWICK_DIST_DIR") >"$TEST_TMP/nodisplay.out" 2>&1 || fail "run.sh: $(cat "$TEST_TMP/nodisplay.out")"
grep -q "^No display" "$TEST_TMP/nodisplay.out" || fail "run.sh did not say there is no display"
[ ! -e "$SETTINGS" ] || fail "run.sh wrote a settings file"
[ "$(identify -format '%wx%h' "$snapshot")" = 1280x720 ] || fail "no 1280 x 720 snapshot at $snapshot"
greater "$(mean_of "$snapshot")" 0.1 || fail "the snapshot is dark"

note "a display: the screensaver runs and a key ends it"
start_xvfb 1280x720
"$run" "$TARNWICK_DIST_DIR" >"$TEST_TMP/run.out" 2>&1 &
pid=$!
wait_for_lake 40 || { cat "$TEST_TMP/run.out"; fail "the lake never appeared"; }
xdotool key space
wait_exit "$pid" 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE, expected 0"
echo PASS
