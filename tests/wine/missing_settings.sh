#!/usr/bin/env bash
# A first start of Tarnwick.exe without a settings file: the program shows the
# runtime's "File not found" in its error box and ends with exit code 1,
# instead of crashing. A settings file whose home line is empty stops the
# full-screen run the same way, in words that say what is wrong.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 1024x768
use_wine_prefix
exe="$TARNWICK_WINDOWS_DIST/Tarnwick.exe"
probe="$TARNWICK_WINDOWS_BIN/winprobe.exe"
[ -f "$exe" ] || fail "no $exe"
rm -f "$(wine_system_dir)/tarnwick.txt"

wine "$exe" /s >"$TEST_TMP/exe.out" 2>&1 &
pid=$!
wine "$probe" msgbox "Tarnwick 3D Screensaver" 20000 >"$TEST_TMP/probe.out" 2>&1 || {
  cat "$TEST_TMP/probe.out"; fail "no error box appeared"; }
cat "$TEST_TMP/probe.out"
grep -q "^text: File not found" "$TEST_TMP/probe.out" || fail "the error box does not say \"File not found\""
status=0
wait $pid || status=$?
[ "$status" -eq 1 ] || fail "exit code $status, expected 1"

printf '%s\r\n' "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }" "" 0 0 1 12 \
  >"$(wine_system_dir)/tarnwick.txt"
wine "$exe" /s >"$TEST_TMP/exe.out" 2>&1 &
pid=$!
wine "$probe" msgbox "Tarnwick 3D Screensaver" 20000 >"$TEST_TMP/probe.out" 2>&1 || {
  cat "$TEST_TMP/probe.out"; fail "no error box for an empty home line"; }
grep -q "^text: The settings file tarnwick.txt names no home directory on its second line" "$TEST_TMP/probe.out" ||
  { cat "$TEST_TMP/probe.out"; fail "the error box does not name the empty home line"; }
status=0
wait $pid || status=$?
[ "$status" -eq 1 ] || fail "exit code $status after an empty home line, expected 1"
echo "PASS"
