#!/usr/bin/env bash
# The Windows zip as a user installs it: unpacked on drive C: of a fresh
# prefix, "Tarnwick.scr /i" run from the unpacked folder puts the screensaver
# into the system directory with settings naming that folder, and the
# installed screensaver started as the control panel starts it ("/s") shows
# the moving lake from the unpacked data.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 640x480
use_wine_prefix
source "$(dirname "$0")/shell_helpers.bash"
sys="$(wine_system_dir)"
version=$(sed -n 's/.*TarnwickVersion\[\] = "\([^"]*\)".*/\1/p' "$TARNWICK_BUILD_DIR/generated/tarnwick_version.h")
zip="$TARNWICK_BUILD_DIR/../packages/tarnwick-${version}-windows-x64.zip"
[ -f "$zip" ] || fail "no $zip: \`make package\` writes it"

note "unpack on C: and install from the unpacked folder"
unzip -q "$zip" -d "$WINEPREFIX/drive_c"
folder="$WINEPREFIX/drive_c/tarnwick-${version}-windows-x64"
[ ! -e "$sys/Tarnwick.scr" ] && [ ! -e "$sys/tarnwick.txt" ] || fail "the fresh prefix already has the screensaver"
cd "$folder"
wine Tarnwick.scr /i >"$TEST_TMP/install.out" 2>&1 &
pid=$!
if ! wait_for "! kill -0 $pid" 60; then
  probe msgbox "Tarnwick 3D Screensaver" 5000 1 >"$TEST_TMP/box.out" || true
  cat "$TEST_TMP/box.out"
  fail "/i did not end (an error box above?)"
fi
wait_exit $pid
[ "$STATUS" = 0 ] || { cat "$TEST_TMP/install.out"; fail "/i ended with $STATUS"; }
cmp -s "$folder/Tarnwick.scr" "$sys/Tarnwick.scr" || fail "the system directory holds no copy of Tarnwick.scr"
home=$(sed -n '2{s/\r$//;p;q}' "$sys/tarnwick.txt")
[ "${home,,}" = "c:\\tarnwick-${version}-windows-x64" ] || fail "the settings name $home as home, not the unpacked folder"

note "the installed screensaver shows the lake"
cd "$TEST_TMP"
wine "$sys/Tarnwick.scr" /s >"$TEST_TMP/run.out" 2>&1 &
run=$!
probe window "$MAIN_CLASS" 60000 >"$TEST_TMP/window.out" || { cat "$TEST_TMP/run.out"; fail "no window"; }
expect_line "$TEST_TMP/window.out" '^window: caption="Tarnwick 3D Screensaver" rect=0 0 640 480 '
# Lit once the first frames are presented; then the water moves.
lit() {
  import -window root "$TEST_TMP/one.png"
  mean=$(convert "$TEST_TMP/one.png" -format '%[fx:int(mean*1000)]' info:)
  [ "$mean" -gt 50 ]
}
wait_for lit 30 || fail "the screen stays dark (mean $mean/1000): no lake"
wait_for_new_frame root "$TEST_TMP/one.png" 60 500 || fail "the picture does not change: the water stands still"
note "lake rendered (mean $mean/1000), $CHANGED pixels changed in a new frame"
xdotool key x
wait_for "! kill -0 $run" 10 || fail "the run did not end on a key"
wait_exit $run
[ "$STATUS" = 0 ] || fail "the run ended with exit code $STATUS"
echo PASS
