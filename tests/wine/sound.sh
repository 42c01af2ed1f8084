#!/usr/bin/env bash
# Tarnwick.exe's sound through Windows' sound stack as Wine gives it:
# DirectSound's set-up, buffer creation and fill on Wine's PulseAudio driver,
# into a sound server of the test's own whose output is recorded. "/s"
# plays the waterfall at the source's level less 10 dB in both channels
# until the run ends; a looped ramp on the left channel alone shows that the
# loop has no gap; "/p" and "/c" play nothing, and neither does "/s" with
# "Play Sound" off (line 7 of the settings), from a home without the wave.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 640x480
use_wine_prefix
start_pulse
# Wine's PulseAudio driver alone, as on a desktop that runs PulseAudio.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv=;wineoss.drv="
source "$(dirname "$0")/shell_helpers.bash"
xdotool mousemove 320 240

# run_recorded HOME SECONDS: a full-screen run from HOME (a Unix path),
# recorded from before its start until a second after its end; the run
# lasts until SECONDS of its sound have been recorded.
run_recorded() {
  write_settings "$(win_path "$1")" 0 0 0 12
  start_recording "$TEST_TMP/$2.raw"
  wine "$EXE" /s >"$TEST_TMP/run.out" 2>&1 &
  RUN=$!
  probe window "$MAIN_CLASS" 60000 >/dev/null || { cat "$TEST_TMP/run.out"; fail "no window"; }
  wait_for sink_in_use 60 || fail "DirectSound opened no stream on the sound server"
  wait_for_sound "$2" 120 || fail "less than $2 s of sound in $(scan_sound "$RECORDING")"
  xdotool key x
  wait_for "! kill -0 $RUN" 20 || fail "a key did not end the run"
  wait_exit $RUN
  [ "$STATUS" = 0 ] || fail "exit code $STATUS, expected 0"
  wait_for '! sink_in_use' 10 || fail "the stream stays open after the run"
  wait_recorded 1 20 || fail "the recording stalled"
  stop_recording
}

note "/s: the waterfall, 10 dB down"
waterfall="$TARNWICK_WINDOWS_DIST/sounds/smallwaterfall.wav"
length=$(soxi -D "$waterfall")
run_recorded "$TARNWICK_WINDOWS_DIST" "$length"
check_played "$waterfall" "$length" 10

note "/s: a ramp on the left channel alone, looped"
home="$TEST_TMP/home"
mkdir -p "$home/sounds"
ln -s "$TARNWICK_WINDOWS_DIST/models" "$TARNWICK_WINDOWS_DIST/pictures" "$home/"
make_ramp_wave "$home/sounds/smallwaterfall.wav"
run_recorded "$home" 6
check_played "$home/sounds/smallwaterfall.wav" 2 10
check_seamless

write_settings "$(win_path "$TARNWICK_WINDOWS_DIST")" 0 0 0 12
note "/p plays nothing"
start_recording "$TEST_TMP/preview.raw"
probe host preview 3000 5000 "$EXE" /p "{HWND}" >"$TEST_TMP/host.out" || fail "harness failed"
expect_line "$TEST_TMP/host.out" '^alive=1 '
stop_recording
[ "$(scan_sound "$RECORDING")" = first=none ] || fail "the preview played something: $(scan_sound "$RECORDING")"

note "/s with the sound off: the lake runs without the wave file, and nothing plays"
silent="$TEST_TMP/silent"
mkdir -p "$silent"
ln -s "$TARNWICK_WINDOWS_DIST/models" "$TARNWICK_WINDOWS_DIST/pictures" "$silent/"
write_settings "$(win_path "$silent")" 0 0 0 12 0
start_recording "$TEST_TMP/silent.raw"
wine "$EXE" /s >"$TEST_TMP/run.out" 2>&1 &
RUN=$!
probe window "$MAIN_CLASS" 60000 >/dev/null || { cat "$TEST_TMP/run.out"; fail "no window with the sound off"; }
presents_frames "$RUN" || { cat "$TEST_TMP/run.out"; fail "the lake does not run with the sound off"; }
sink_in_use && fail "a stream plays with the sound off"
wait_recorded 2 20 || fail "the recording stalled"
xdotool key x
wait_for "! kill -0 $RUN" 20 || fail "a key did not end the silent run"
wait_exit $RUN
[ "$STATUS" = 0 ] || fail "the silent run: exit code $STATUS, expected 0"
stop_recording
[ "$(scan_sound "$RECORDING")" = first=none ] || fail "the silent run played something: $(scan_sound "$RECORDING")"
write_settings "$(win_path "$TARNWICK_WINDOWS_DIST")" 0 0 0 12

note "/c plays nothing"
start_recording "$TEST_TMP/dialog.raw"
wine "$EXE" /c >/dev/null 2>&1 &
RUN=$!
probe window "$MAIN_CLASS" 60000 >/dev/null || fail "no dialog"
wait_recorded 2 20 || fail "the recording stalled"
probe click "$MAIN_CLASS" Cancel
wait_exit $RUN
[ "$STATUS" = 0 ] || fail "Cancel: exit code $STATUS, expected 0"
stop_recording
[ "$(scan_sound "$RECORDING")" = first=none ] || fail "the dialog played something: $(scan_sound "$RECORDING")"
echo PASS
