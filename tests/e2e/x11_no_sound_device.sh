#!/usr/bin/env bash
# A run on a machine without sound: no sound server answers and ALSA finds
# no card. The lake still runs, and standard error (which xscreensaver keeps
# in its log) holds at most the one line that says so, not the chatter of
# ALSA and OpenAL Soft. A user who sets ALSOFT_LOGLEVEL gets that back.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_xvfb 640x480
write_settings 0 0 0 12
xdotool mousemove 320 240
mkdir -p "$TEST_TMP/home"

# run_without_sound [VAR=VALUE...]: a full-screen run in an otherwise empty
# environment, ended by a key once the lake shows; its stderr in $TEST_TMP/err.
run_without_sound() {
  env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$TEST_TMP/home" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" \
    PULSE_SERVER="unix:$TEST_TMP/no-server" "$@" "$TARNWICK" /s >"$TEST_TMP/out" 2>"$TEST_TMP/err" &
  RUN_PID=$!
  wait_for_lake 40 || { cat "$TEST_TMP/err"; fail "the lake never appeared"; }
  xdotool key x
  wait_exit "$RUN_PID" 10
  [ "$EXIT_CODE" = 0 ] || { cat "$TEST_TMP/err"; fail "a key: exit code $EXIT_CODE, expected 0"; }
}

note "no sound device: at most one line on standard error"
run_without_sound
lines=$(wc -l <"$TEST_TMP/err")
[ "$lines" -le 1 ] || { cat "$TEST_TMP/err"; fail "$lines lines on standard error"; }
if [ "$lines" = 1 ]; then
  grep -qx "tarnwick: no sound device: running without sound" "$TEST_TMP/err" ||
    fail "standard error says: $(cat "$TEST_TMP/err")"
fi
[ ! -s "$TEST_TMP/out" ] || fail "standard output says: $(cat "$TEST_TMP/out")"

if [ "$lines" = 1 ]; then
  note "with ALSOFT_LOGLEVEL set, the libraries say why"
  run_without_sound ALSOFT_LOGLEVEL=1
  lines=$(wc -l <"$TEST_TMP/err")
  [ "$lines" -gt 1 ] || fail "ALSOFT_LOGLEVEL=1 gave only: $(cat "$TEST_TMP/err")"
fi
echo PASS
