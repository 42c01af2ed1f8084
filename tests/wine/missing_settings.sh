#!/usr/bin/env bash
# The unzipped screensaver, never installed, in a fresh prefix: started from
# the system folder as the control panel's screensaver settings start it,
# without a settings file, "/s" and "/S" run the lake and "/c" opens
# the settings dialog, whose OK writes the user's settings file naming the
# unzipped folder; so do a settings file whose home line is empty and one whose home
# has gone. Only where no data lies beside the program does it stop, with a
# message that names the folder it looked in and says what to do.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 800x600
use_wine_prefix
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv=;winepulse.drv=;wineoss.drv="
source "$(dirname "$0")/shell_helpers.bash"
sys="$(wine_system_dir)"
settings="$sys/tarnwick.txt"
user="$(wine_user_settings)"
# The folder as the zip unpacks: the screensaver beside its data.
unzipped="$TEST_TMP/Tarnwick 3D"
mkdir "$unzipped"
cp "$EXE" "$unzipped/Tarnwick.scr"
for data in models sounds pictures; do ln -s "$TARNWICK_WINDOWS_DIST/$data" "$unzipped/$data"; done
scr="$unzipped/Tarnwick.scr"
cd "$sys"

# runs ARG...: the lake shows in the full-screen window; a key ends it with 0.
runs() {
  wine "$scr" "$@" >"$TEST_TMP/run.out" 2>&1 &
  local pid=$!
  probe window "$MAIN_CLASS" 60000 >"$TEST_TMP/window.out" || {
    probe msgbox "Tarnwick 3D Screensaver" 1000 || true; fail "$*: no full-screen window"; }
  expect_line "$TEST_TMP/window.out" '^window: caption="Tarnwick 3D Screensaver" rect=0 0 800 600'
  wait_for "import -window root '$TEST_TMP/shot.png' && greater \"\$(mean_of '$TEST_TMP/shot.png')\" 0.05" 60 ||
    fail "$*: no lake"
  xdotool key x
  wait_for "! kill -0 $pid" 20 || fail "$*: a key did not end the run"
  wait_exit $pid
  [ "$STATUS" = 0 ] || fail "$*: exit code $STATUS"
}
mean_of() { convert "$1" -format '%[fx:mean]' info:; }

# ok_repairs: OK in the dialog writes a settings file naming the unzipped folder.
ok_repairs() {
  wine "$scr" /c >"$TEST_TMP/dialog.out" 2>&1 &
  local pid=$!
  probe window "$MAIN_CLASS" 30000 >/dev/null || fail "no settings dialog"
  probe click "$MAIN_CLASS" "Restore Defaults"
  probe click "$MAIN_CLASS" "OK"
  wait_for "! kill -0 $pid" 20 || fail "OK did not end the dialog"
  wait_exit $pid
  [ "$STATUS" = 0 ] || fail "OK: exit code $STATUS"
  printf '%s\r\n' "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }" \
    "$(win_path "$unzipped")\\" 0 0 1 12 1 0 >"$TEST_TMP/expected.txt"
  cmp -s "$TEST_TMP/expected.txt" "$user" || { cat -A "$user"; fail "OK did not write the unzipped folder as home"; }
}

note "no settings file: /s, /S and /c from the system folder"
rm -f "$settings"
runs /s
runs /S
[ ! -e "$settings" ] && [ ! -e "$user" ] || fail "a run wrote a settings file"
ok_repairs

note "an empty home line"
rm -f "$user"
write_settings "" 1 0 1 24
runs /s
note "a home that has gone"
write_settings 'C:\Program Files\Tarnwick moved away' 1 0 1 24
runs /s
ok_repairs

note "no data beside the program: the message says where it looked"
rm -f "$settings" "$user"
mkdir "$TEST_TMP/bare" && cp "$EXE" "$TEST_TMP/bare/Tarnwick.scr"
wine "$TEST_TMP/bare/Tarnwick.scr" /s >"$TEST_TMP/exe.out" 2>&1 &
pid=$!
probe msgbox "Tarnwick 3D Screensaver" 20000 >"$TEST_TMP/box.out" || fail "no error box without data"
cat "$TEST_TMP/box.out"
expect_line "$TEST_TMP/box.out" "^text: No data folder .*$(win_path "$TEST_TMP/bare" | sed 's/\\/\\\\/g')"
! grep -q "File not found" "$TEST_TMP/box.out" || fail "the message opens with the settings file's \"File not found\""
wait_exit $pid
[ "$STATUS" -eq 1 ] || fail "exit code $STATUS without data, expected 1"
echo "PASS"
