#!/usr/bin/env bash
# The settings dialog as the control panel opens it ("/c:HWND"): its controls
# show the file's choices, the control panel's window is disabled while it is
# open and enabled again after OK, Cancel or the close box; OK writes exactly
# eight lines to the user's own settings file, Cancel after Restore Defaults
# writes nothing; the about box; "/C", "/c:abc" and no argument at all (how
# Explorer's Configure starts it) open the dialog without disabling
# anything, and "/S" (Explorer's Test) starts the full-screen run.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 1024x768
use_wine_prefix
source "$(dirname "$0")/shell_helpers.bash"
home="$(win_path "$TARNWICK_WINDOWS_DIST")"
write_settings "$home" 1 0 0 24 0 1
installed="$TEST_TMP/installed.txt"
cp "$(wine_system_dir)/tarnwick.txt" "$installed"
settings="$(wine_user_settings)"

# Starts the dialog under the harness's control panel; the harness's report
# goes to $TEST_TMP/host.out.
open_dialog() {
  probe host owner 0 20000 "$EXE" "$@" >"$TEST_TMP/host.out" &
  HOST=$!
  probe window "$MAIN_CLASS" 20000 >"$TEST_TMP/dialog.out" || fail "no dialog for $*"
  wait_for "grep -q '^dialog-open' '$TEST_TMP/host.out'" 20 || fail "the harness saw no dialog"
}
# Waits for the harness to see the program end; checks the exit code and the owner.
closed_with_owner() {
  wait_exit $HOST
  cat "$TEST_TMP/host.out"
  expect_line "$TEST_TMP/host.out" "^exit=0 ended-ms=[0-9]+ owner-enabled=$1\$"
}

note "/c:HWND shows the file's choices and disables the owner"
open_dialog "/c:{HWND}"
d="$TEST_TMP/dialog.out"
cat "$d"
expect_line "$TEST_TMP/host.out" '^dialog-open=1 owner-enabled=0$'
expect_line "$d" '^window: caption="Tarnwick 3D Screensaver Configuration" rect=352 220 320 328 .*topmost=0 enabled=1'
expect_line "$d" '^control: Button "Options" rect=8 8 185 168 visible=1'
expect_line "$d" '^control: Button "Exit On Mouse Move" rect=8 16 129 17 visible=1 enabled=1 checked=1 tabstop=1 parent="Options"'
expect_line "$d" '^control: Button "Show FPS" rect=8 40 97 17 visible=1 enabled=1 checked=0'
expect_line "$d" '^control: Button "Show Time" rect=8 64 97 17 visible=1 enabled=1 checked=0'
expect_line "$d" '^control: Button "12 hrs" rect=24 88 56 17 visible=1 enabled=0 checked=0'
expect_line "$d" '^control: Button "24 hrs" rect=80 88 57 17 visible=1 enabled=0 checked=1'
expect_line "$d" '^control: Button "Play Sound" rect=8 112 97 17 visible=1 enabled=1 checked=0 tabstop=1 parent="Options"'
expect_line "$d" '^control: Button "Show On Every Monitor" rect=8 136 145 17 visible=1 enabled=1 checked=1 tabstop=1 parent="Options"'
expect_line "$d" '^control: Static "Visit our website for more 3D screensavers.\\r\\nClick Here." rect=[0-9]+ 14 '
expect_line "$d" '^control: Button "Products" rect=8 176 297 49 '
expect_line "$d" '^control: Button "Restore Defaults" rect=8 270 97 20 '
expect_line "$d" '^control: Button "OK" rect=168 270 67 20 '
expect_line "$d" '^control: Button "Cancel" rect=240 270 67 20 '
expect_line "$d" '^control: Button "About\.\.\." rect=200 102 105 20 '
expect_line "$d" '^control: Static "" rect=200 13 105 81 '
# Tab order: the options (of the radio buttons the checked one, then the
# sound and every monitor), then OK,
# Cancel, Restore Defaults, About...
order=$(grep -o '^control: [A-Za-z]* "[^"]*" .*tabstop=1' "$d" | sed 's/^control: [A-Za-z]* "\([^"]*\)".*/\1/' | paste -sd '|')
[ "$order" = 'Exit On Mouse Move|Show FPS|Show Time|24 hrs|Play Sound|Show On Every Monitor|OK|Cancel|Restore Defaults|About...' ] ||
  fail "tab order $order"

note "the about box, centred over the dialog, disables it until closed"
probe click "$MAIN_CLASS" "About..." || { cat "$TEST_TMP/host.out"; fail "no About button"; }
probe window TForm2 5000 >"$TEST_TMP/about.out" || fail "no about box"
cat "$TEST_TMP/about.out"
expect_line "$TEST_TMP/about.out" '^window: caption="About Tarnwick 3D" rect=[0-9]+ [0-9]+ [0-9]+ [0-9]+ client=218 138 '
expect_line "$TEST_TMP/about.out" '^control: Static "Tarnwick 3D Screensaver" rect=12 15 185 18 '
expect_line "$TEST_TMP/about.out" '^control: Button "OK" rect=71 109 75 20 '
read -r l t w h < <(sed -n 's/^window: caption="About Tarnwick 3D" rect=\([0-9]*\) \([0-9]*\) \([0-9]*\) \([0-9]*\) .*/\1 \2 \3 \4/p' "$TEST_TMP/about.out")
[ "$l" = $((352 + (320 - w) / 2)) ] && [ "$t" = $((220 + (328 - h) / 2)) ] || fail "about box at $l,$t is not centred"
probe_matches '^window: .*enabled=0' window "$MAIN_CLASS" 1000 || fail "the dialog stays enabled under the about box"
probe click TForm2 OK || fail "no OK in the about box"
probe gone TForm2 5000 || fail "the about box stays"
probe_matches '^window: .*enabled=1' window "$MAIN_CLASS" 1000 || fail "the dialog stays disabled"

note "checking Show Time enables the clock format; OK saves eight lines"
probe click "$MAIN_CLASS" "Show Time"
wait_for "probe_matches '\"24 hrs\" .*enabled=1' window $MAIN_CLASS 1000" 5 || fail "the clock format stays disabled"
probe click "$MAIN_CLASS" "OK"
closed_with_owner 1
printf '%s\r\n' "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }" "$home\\" 1 0 1 24 0 1 \
  >"$TEST_TMP/expected.txt"
cmp "$TEST_TMP/expected.txt" "$settings" || { cat -A "$settings"; fail "OK wrote something else"; }
cmp -s "$installed" "$(wine_system_dir)/tarnwick.txt" || fail "OK changed the system folder's settings file"

note "Restore Defaults, then Cancel: the file stays"
cp "$settings" "$TEST_TMP/before.txt"
open_dialog "/c:{HWND}"
probe click "$MAIN_CLASS" "Restore Defaults"
wait_for "probe_matches '\"Exit On Mouse Move\" .*checked=0' window $MAIN_CLASS 1000" 5 || fail "defaults not shown"
probe window "$MAIN_CLASS" 1000 >"$TEST_TMP/restored.out"
expect_line "$TEST_TMP/restored.out" '^control: Button "Play Sound" .*checked=1'
expect_line "$TEST_TMP/restored.out" '^control: Button "Show On Every Monitor" .*checked=0'

probe click "$MAIN_CLASS" "Cancel"
closed_with_owner 1
cmp -s "$TEST_TMP/before.txt" "$settings" || fail "Cancel changed the settings file"

note "the close box"
open_dialog "/c:{HWND}"
probe close "$MAIN_CLASS"
closed_with_owner 1
cmp -s "$TEST_TMP/before.txt" "$settings" || fail "the close box changed the settings file"

for arg in /C /c:abc ""; do
  note "${arg:-no argument} opens the dialog without disabling anything"
  open_dialog ${arg:+"$arg"}
  expect_line "$TEST_TMP/host.out" '^dialog-open=1 owner-enabled=1$'
  expect_line "$TEST_TMP/dialog.out" '^window: caption="Tarnwick 3D Screensaver Configuration"'
  probe click "$MAIN_CLASS" "Cancel"
  closed_with_owner 1
done

note "/S runs full screen"
wine "$EXE" /S >"$TEST_TMP/run.out" 2>&1 &
run=$!
probe window "$MAIN_CLASS" 30000 >"$TEST_TMP/run-window.out" || { cat "$TEST_TMP/run.out"; fail "no window for /S"; }
head -n1 "$TEST_TMP/run-window.out"
expect_line "$TEST_TMP/run-window.out" '^window: caption="Tarnwick 3D Screensaver" rect=0 0 1024 768 .*topmost=1'
xdotool key x
wait_for "! kill -0 $run" 10 || fail "the run did not end on a key"
echo PASS
