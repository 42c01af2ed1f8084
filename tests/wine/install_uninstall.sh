#!/usr/bin/env bash
# "/i" and "/u" in a fresh prefix, as a new user runs them from the folder
# that holds the program: the installed copy and the default settings, a
# second install keeping the choices, a failed copy reported, the uninstall
# confirmation, what it removes and what it refuses to touch.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 800x600
use_wine_prefix
source "$(dirname "$0")/shell_helpers.bash"
sys="$(wine_system_dir)"

note "install twice from the distribution folder"
cd "$TARNWICK_WINDOWS_DIST"
wine "$EXE" /i || fail "/i ended with $?"
cmp -s "$EXE" "$sys/Tarnwick.scr" || fail "Tarnwick.scr is not a copy of Tarnwick.exe"
expected="$TEST_TMP/expected.txt"
printf '%s\r\n' "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }" \
  "$(win_path "$TARNWICK_WINDOWS_DIST")" 0 0 1 12 1 0 >"$expected"
cmp "$expected" "$sys/tarnwick.txt" || { cat -A "$sys/tarnwick.txt"; fail "default settings differ"; }
write_settings 'D:\elsewhere' 1 1 0 24
wine "$EXE" /i extra || fail "second /i ended with $?"
printf '%s\r\n' "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }" \
  "$(win_path "$TARNWICK_WINDOWS_DIST")" 1 1 0 24 1 0 >"$expected"
cmp -s "$expected" "$sys/tarnwick.txt" || { cat -A "$sys/tarnwick.txt"; fail "installing again did not keep the choices"; }

note "install from a folder without the program"
mkdir "$TEST_TMP/empty" && cd "$TEST_TMP/empty"
write_settings 'D:\mine' 1 1 1 24
cp "$sys/tarnwick.txt" "$TEST_TMP/mine.txt"
wine "$EXE" /i >/dev/null 2>&1 &
pid=$!
probe msgbox "Tarnwick 3D Screensaver" 20000 >"$TEST_TMP/box.out" || fail "no error box for a missing program"
expect_line "$TEST_TMP/box.out" '^text: Tarnwick.exe could not be copied'
wait_exit $pid; [ "$STATUS" = 1 ] || fail "a failed install must end with exit code 1"
cmp -s "$TEST_TMP/mine.txt" "$sys/tarnwick.txt" || fail "a failed install changed the settings"

note "uninstall: shortcuts and listed files"
user_dir=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 ! -name Public | head -n1)
# The prefix's desktop links to the real home: give this copy a folder of its own.
rm -f "$user_dir/Desktop" && mkdir -p "$user_dir/Desktop"
menu="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tarnwick Screensaver"
mkdir -p "$menu"
touch "$user_dir/Desktop/Tarnwick Screensaver.lnk" "$menu/Tarnwick Screensaver.lnk" \
  "$menu/Moonquill Website.lnk" "$menu/Uninstall Tarnwick Screensaver.lnk"
app="$TEST_TMP/app"
mkdir -p "$app/models" "$TEST_TMP/outside"
cp "$EXE" "$app/"
touch "$app/models/lake.umf" "$app/readme.txt" "$TEST_TMP/outside/precious.txt"
printf '%s\r\n' 'models\lake.umf' '' 'readme.txt' '..\outside\precious.txt' \
  "$(win_path "$TEST_TMP/outside/precious.txt")" >"$app/uninstall.lst"
cd "$app"
wine "$EXE" /i || fail "/i from the program folder ended with $?"

note "uninstall, answered Cancel"
wine "$EXE" /u >/dev/null 2>&1 &
pid=$!
probe msgbox Uninstall 20000 2 >"$TEST_TMP/ask.out" || fail "no confirmation"
expect_line "$TEST_TMP/ask.out" '^text: This program will uninstall Tarnwick Screensaver from your hard drive. Click OK to continue.$'
wait_exit $pid; [ "$STATUS" = 0 ] || fail "Cancel must end with exit code 0"
for f in "$sys/Tarnwick.scr" "$sys/tarnwick.txt" "$menu/Moonquill Website.lnk" "$app/readme.txt" \
  "$user_dir/Desktop/Tarnwick Screensaver.lnk"; do
  [ -e "$f" ] || fail "Cancel removed $f"
done

note "uninstall, answered OK"
wine "$EXE" /u >/dev/null 2>&1 &
pid=$!
probe msgbox Uninstall 20000 1 >/dev/null || fail "no confirmation"
probe msgbox Uninstall 20000 1 >"$TEST_TMP/refused.out" || fail "no report of the refused entries"
expect_line "$TEST_TMP/refused.out" 'outside\\precious.txt'
probe msgbox Uninstall 20000 1 >"$TEST_TMP/done.out" || fail "no success message"
expect_line "$TEST_TMP/done.out" '^text: Tarnwick Screensaver has been successfully removed from your hard drive.$'
wait_exit $pid; [ "$STATUS" = 0 ] || fail "uninstall must end with exit code 0"
for f in "$sys/Tarnwick.scr" "$sys/tarnwick.txt" "$menu" "$app/models/lake.umf" "$app/readme.txt" \
  "$user_dir/Desktop/Tarnwick Screensaver.lnk"; do
  [ ! -e "$f" ] || fail "uninstall left $f"
done
[ -e "$TEST_TMP/outside/precious.txt" ] || fail "uninstall deleted a file outside its folder"
[ -e "$app/Tarnwick.exe" ] && [ -e "$app/uninstall.lst" ] && [ -d "$app/models" ] ||
  fail "uninstall removed the program, its list or a folder"

note "uninstall again"
rm "$app/uninstall.lst"
wine "$EXE" /u >/dev/null 2>&1 &
pid=$!
probe msgbox Uninstall 20000 1 >/dev/null || fail "no confirmation the second time"
probe msgbox Uninstall 20000 1 >"$TEST_TMP/again.out" || fail "no success message the second time"
expect_line "$TEST_TMP/again.out" 'successfully removed'
wait_exit $pid; [ "$STATUS" = 0 ] || fail "second uninstall must end with exit code 0"
echo PASS
