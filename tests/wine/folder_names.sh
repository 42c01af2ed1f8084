#!/usr/bin/env bash
# The unzipped screensaver in a folder whose name lies outside the ANSI code
# page ("Заставка") and in one whose path is longer than MAX_PATH (260
# characters): without a settings file it finds the data beside itself and
# the lake runs; OK in the dialog writes the folder's name as it is, also
# into a user's folder named outside the code page.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 800x600
use_wine_prefix
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv=;winepulse.drv=;wineoss.drv="
source "$(dirname "$0")/shell_helpers.bash"
sys="$(wine_system_dir)"
rm -f "$sys/tarnwick.txt"
cd "$sys"

# unpack FOLDER: the screensaver beside its data, as the zip unpacks.
unpack() {
  mkdir -p "$1"
  cp "$EXE" "$1/Tarnwick.scr"
  for data in models sounds pictures; do ln -s "$TARNWICK_WINDOWS_DIST/$data" "$1/$data"; done
}

# runs SCR: the lake shows in the full-screen window; a key ends it with 0.
runs() {
  wine "$1" /s >"$TEST_TMP/run.out" 2>&1 &
  local pid=$!
  probe window "$MAIN_CLASS" 60000 >"$TEST_TMP/window.out" || {
    probe msgbox "Tarnwick 3D Screensaver" 1000 || true; fail "$1: no full-screen window"; }
  wait_for "import -window root '$TEST_TMP/shot.png' &&
    [ \"\$(convert '$TEST_TMP/shot.png' -format '%[fx:int(mean*1000)]' info:)\" -gt 50 ]" 60 || {
    probe msgbox "Tarnwick 3D Screensaver" 1000 || true; fail "$1: no lake"; }
  xdotool key x
  wait_for "! kill -0 $pid" 20 || fail "$1: a key did not end the run"
  wait_exit $pid
  [ "$STATUS" = 0 ] || fail "$1: exit code $STATUS"
}

note "a folder named Заставка"
folder="$TEST_TMP/Заставка"
unpack "$folder"
runs "$folder/Tarnwick.scr"

note "OK names the folder as it is"
wine "$folder/Tarnwick.scr" /c >"$TEST_TMP/dialog.out" 2>&1 &
pid=$!
probe window "$MAIN_CLASS" 30000 >/dev/null || { probe msgbox "Tarnwick 3D Screensaver" 1000 || true; fail "no settings dialog"; }
probe click "$MAIN_CLASS" "OK"
wait_for "! kill -0 $pid" 20 || { probe msgbox "Tarnwick 3D Screensaver" 1000 || true; fail "OK did not end the dialog"; }
home=$(sed -n '2{s/\r$//;p;q}' "$(wine_user_settings)")
[ "$home" = "$(win_path "$folder")\\" ] || fail "the settings name the home $home"

note "the user's settings in a folder named outside the code page"
mkdir -p "$WINEPREFIX/drive_c/users/Юрий"
for key in 'User Shell Folders' 'Shell Folders'; do
  wine reg add "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\$key" /v AppData /d 'C:\users\Юрий' /f >/dev/null 2>&1
done
wineserver -w
wine "$folder/Tarnwick.scr" /c >"$TEST_TMP/dialog.out" 2>&1 &
pid=$!
probe window "$MAIN_CLASS" 30000 >/dev/null || fail "no settings dialog"
probe click "$MAIN_CLASS" "Show FPS"
probe click "$MAIN_CLASS" "OK"
wait_for "! kill -0 $pid" 20 || { probe msgbox "Tarnwick 3D Screensaver" 1000 || true; fail "OK did not save"; }
user="$WINEPREFIX/drive_c/users/Юрий/Tarnwick/tarnwick.txt"
[ "$(sed -n '4{s/\r$//;p;q}' "$user")" = 1 ] || fail "OK did not write Show FPS to $user"

note "a path longer than MAX_PATH"
rm -f "$(wine_user_settings)"
deep="$TEST_TMP/deep"
while [ ${#deep} -lt 300 ]; do deep="$deep/a-folder-nested-deeper-than-windows-once-allowed"; done
unpack "$deep"
echo "${#deep} characters"
runs "$deep/Tarnwick.scr"
echo PASS
