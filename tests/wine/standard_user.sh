#!/usr/bin/env bash
# A standard user, who may not write the system folder (as on Windows 10 and
# 11 without elevation): OK in the settings dialog saves the choices to the
# user's own %APPDATA%\Tarnwick\tarnwick.txt, the installer's file in the
# system folder stays as it was, the next start shows the saved choices, and
# /u removes the user's file and its folder. Wine runs as the user nobody
# with a prefix and a home of its own.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 1024x768
use_wine_prefix
source "$(dirname "$0")/shell_helpers.bash"
chmod 755 "$TEST_TMP"
user_home="$TEST_TMP/home"
mkdir "$user_home"
# The program and its data where nobody may read them.
dist="$TEST_TMP/dist"
cp -r "$TARNWICK_WINDOWS_DIST" "$dist"
cp "$PROBE" "$TEST_TMP/winprobe.exe"
home="$(win_path "$dist")"
write_settings "$home" 0 0 1 12 1 0
installed="$TEST_TMP/installed.txt"
cp "$(wine_system_dir)/tarnwick.txt" "$installed"
# The prefix's record of root's wineserver folder goes: nobody runs its own.
rm -f "$WINEPREFIX/wineserver"
chown -R nobody:nogroup "$WINEPREFIX" "$user_home" "$dist" "$TEST_TMP/winprobe.exe"
chmod 555 "$(wine_system_dir)"

as_user() {
  env -C "$user_home" -i DISPLAY="$DISPLAY" HOME="$user_home" USER=nobody LOGNAME=nobody PATH=/usr/bin:/bin LANG=C.UTF-8 \
    WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="$WINEDLLOVERRIDES" \
    setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"
}
on_exit 'as_user wineserver -k 2>/dev/null; as_user wineserver -w 2>/dev/null'
probe() { as_user wine "$TEST_TMP/winprobe.exe" "$@" | stdbuf -oL tr -d '\r'; }
as_user test -w "$(wine_system_dir)" && fail "the user may write the system folder"
appdata=$(as_user wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
user_settings="$(as_user winepath -u "$appdata")/Tarnwick/tarnwick.txt"
exe="$dist/Tarnwick.exe"

# Opens the dialog under the harness's control panel.
open_dialog() {
  probe host owner 0 30000 "$exe" "/c:{HWND}" >"$TEST_TMP/host.out" &
  HOST=$!
  probe window "$MAIN_CLASS" 30000 >"$TEST_TMP/dialog.out" || fail "no dialog"
}

note "OK saves the user's choices where the user may write"
open_dialog
expect_line "$TEST_TMP/dialog.out" '^control: Button "Show FPS" .*checked=0'
probe click "$MAIN_CLASS" "Show FPS"
wait_for "probe_matches '\"Show FPS\" .*checked=1' window $MAIN_CLASS 1000" 5 || fail "Show FPS not checked"
probe click "$MAIN_CLASS" "OK"
if probe msgbox "Tarnwick 3D Screensaver" 3000 >"$TEST_TMP/box.out"; then
  cat "$TEST_TMP/box.out"
  fail "OK could not save the choices"
fi
wait_exit $HOST
cat "$TEST_TMP/host.out"
expect_line "$TEST_TMP/host.out" '^exit=0 '
printf '%s\r\n' "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }" "$home\\" 0 1 1 12 1 0 \
  >"$TEST_TMP/expected.txt"
cmp "$TEST_TMP/expected.txt" "$user_settings" || { cat -A "$user_settings"; fail "OK wrote something else"; }
cmp -s "$installed" "$(wine_system_dir)/tarnwick.txt" || fail "the system folder's file changed"

note "the next start shows the saved choices"
open_dialog
expect_line "$TEST_TMP/dialog.out" '^control: Button "Show FPS" .*checked=1'
probe click "$MAIN_CLASS" "Cancel"
wait_exit $HOST

note "/u removes the user's file and its folder"
as_user wine "$exe" /u >"$TEST_TMP/u.out" 2>&1 &
uninstall=$!
probe msgbox Uninstall 20000 1 >/dev/null || fail "no confirmation"
probe msgbox Uninstall 20000 1 >/dev/null || fail "no report"
wait_exit $uninstall
[ ! -e "$(dirname "$user_settings")" ] || fail "the user's settings folder stays: $(ls -A "$(dirname "$user_settings")")"
echo PASS
