#!/usr/bin/env bash
# The waterfall as a desktop user hears it: "/s" plays through OpenAL Soft's
# PulseAudio backend into a sound server of the test's own, whose output is
# recorded. The level is the source's less 10 dB (the effects volume the run
# sets) in each channel, the sound stops when the run ends; a looped ramp
# on the left channel alone shows that the loop has no gap and that the
# right channel stays silent. With the sound off (line 7 of the settings, or
# -no-sound) nothing reaches the sound server, not even a connection, and the
# lake runs from a home without the wave file.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_xvfb 640x480
start_pulse
export ALSOFT_DRIVERS=pulse
# OpenAL Soft's default buffer (three periods of 1024 frames) underruns on a
# loaded machine; the level check leaves underruns out, but fewer is better.
printf '[general]\nperiod_size = 4096\nperiods = 4\n' >"$TEST_TMP/alsoft.conf"
export ALSOFT_CONF="$TEST_TMP/alsoft.conf"
xdotool mousemove 320 240

# run_recorded HOME SECONDS: a full-screen run from HOME, recorded from
# before its start until a second after its end; the run lasts until
# SECONDS of its sound have been recorded.
run_recorded() {
  write_settings 0 0 0 12 "$1"
  start_recording "$TEST_TMP/$2.raw"
  "$TARNWICK" /s >"$TEST_TMP/run.out" 2>&1 &
  RUN_PID=$!
  wait_for sink_in_use 60 || { cat "$TEST_TMP/run.out"; fail "the run opened no stream on the sound server"; }
  wait_for_sound "$2" 120 || fail "less than $2 s of sound in $(scan_sound "$RECORDING")"
  xdotool key x
  wait_exit "$RUN_PID" 20
  [ "$EXIT_CODE" = 0 ] || { cat "$TEST_TMP/run.out"; fail "a key: exit code $EXIT_CODE, expected 0"; }
  wait_for '! sink_in_use' 10 || fail "the stream stays open after the run"
  wait_recorded 1 20 || fail "the recording stalled"
  stop_recording
}

note "the waterfall, 10 dB down"
waterfall="$TARNWICK_DIST_DIR/sounds/smallwaterfall.wav"
length=$(soxi -D "$waterfall")
run_recorded "$TARNWICK_DIST_DIR" "$length"
check_played "$waterfall" "$length" 10

note "a ramp on the left channel alone, looped"
home="$TEST_TMP/home"
mkdir -p "$home/sounds"
ln -s "$TARNWICK_DIST_DIR/models" "$TARNWICK_DIST_DIR/pictures" "$home/"
make_ramp_wave "$home/sounds/smallwaterfall.wav"
run_recorded "$home" 6
check_played "$home/sounds/smallwaterfall.wav" 2 10
check_seamless

# run_silent WHAT ARGUMENT...: a run with the sound off, from a home without
# sounds/: the lake shows and moves, yet the program never connects to the
# sound server.
silent="$TEST_TMP/silent"
mkdir -p "$silent"
ln -s "$TARNWICK_DIST_DIR/models" "$TARNWICK_DIST_DIR/pictures" "$silent/"
run_silent() {
  local what="$1"
  shift
  "$TARNWICK" "$@" >"$TEST_TMP/run.out" 2>&1 &
  RUN_PID=$!
  wait_for_lake 60 || { cat "$TEST_TMP/run.out"; fail "$what: no lake"; }
  still_running "$RUN_PID" || { cat "$TEST_TMP/run.out"; fail "$what: the lake does not move"; }
  sink_in_use && fail "$what: a stream plays"
  pactl list clients | grep -q "application.process.id = \"$RUN_PID\"" && fail "$what: connected to the sound server"
  xdotool key x
  wait_exit "$RUN_PID" 20
  [ "$EXIT_CODE" = 0 ] || { cat "$TEST_TMP/run.out"; fail "$what: exit code $EXIT_CODE, expected 0"; }
}

note "line 7 of the settings 0: silence, and no wave file needed"
write_settings 0 0 1 12 "$silent" 0
run_silent "line 7 0" /s

note "-no-sound overrides the settings' sound"
write_settings 0 0 1 12 "$silent" 1
run_silent "-no-sound" -no-sound
echo PASS
