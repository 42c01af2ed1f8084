#!/usr/bin/env bash
# The Linux program under openbox, an EWMH window manager, with a dock on
# screen: the full-screen run covers the whole screen above the dock, hides
# the cursor and ends on a key; the preview paints into a managed window and
# maps none of its own; the settings dialog takes the focus and its Tab order
# runs as on Windows; with "/c:ID" it stays above window ID, which is usable
# again after OK, Cancel or the close box.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_xvfb 1024x768
start_openbox
make_dock 40
import -window root "$TEST_TMP/desktop.png"
DOCK_AREA=1024x40+0+728

# Pixels that the cursor adds around the pointer at (100, 60): scrot draws
# the cursor into one shot and not into the other.
cursor_pixels() {
  scrot -o -p "$TEST_TMP/with-cursor.png"
  scrot -o "$TEST_TMP/without-cursor.png"
  pixels_differ "$TEST_TMP/with-cursor.png[32x32+96+56]" "$TEST_TMP/without-cursor.png[32x32+96+56]"
}

note "full-screen: the whole screen above the dock, no cursor, a key ends it"
write_settings 0 0 0 12
xdotool mousemove 100 60
shown=$(cursor_pixels)
[ "$shown" -gt 20 ] || fail "the cursor over the desktop adds only $shown pixels: a hidden one could not be told"
"$TARNWICK" /s >"$TEST_TMP/run.out" 2>&1 &
RUN_PID=$!
run=$(window_named "Tarnwick 3D Screensaver" 20) || { cat "$TEST_TMP/run.out"; fail "no full-screen window"; }
wait_for_lake 40 || { cat "$TEST_TMP/run.out"; fail "the lake never appeared"; }
wait_for_new_frame root "$TEST_TMP/lake.png" 60 1000 || fail "the lake does not move"
read -r x y w h < <(xwininfo -id "$run" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
  /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
[ "$x $y $w $h" = "0 0 1024 768" ] || fail "the window is ${w}x$h at $x,$y, not the whole screen"
stacked_above "$run" "$DOCK" || fail "the window is stacked below the dock: $(xprop -root _NET_CLIENT_LIST_STACKING)"
covered=$(pixels_differ "$TEST_TMP/lake.png[$DOCK_AREA]" "$TEST_TMP/desktop.png[$DOCK_AREA]")
[ "$covered" -gt 36000 ] || fail "the dock shows through the lake ($covered of 40960 pixels covered)"
hidden=$(cursor_pixels)
note "the cursor adds $shown pixels over the desktop, $hidden over the run"
[ "$hidden" -lt 5 ] || fail "the cursor shows over the run ($hidden pixels)"
xdotool key x
wait_exit "$RUN_PID" 10
[ "$EXIT_CODE" = 0 ] || fail "a key: exit code $EXIT_CODE, expected 0"

note "preview: the logo in a managed window, no window of its own"
make_target_window 200x150+300+200
managed=$(xprop -root _NET_CLIENT_LIST)
"$TARNWICK" /p "$TARGET" >"$TEST_TMP/preview.out" 2>&1 &
PREVIEW_PID=$!
wait_for_logo "$TARGET" 20 || fail "the logo never showed at (0, 0) of the managed window"
[ "$(xprop -root _NET_CLIENT_LIST)" = "$managed" ] || fail "the preview mapped a window of its own"
kill "$TARGET_PID"
wait_exit "$PREVIEW_PID" 10
[ "$EXIT_CODE" = 0 ] || fail "after the window went: exit code $EXIT_CODE, expected 0"

# open_dialog ARG: the settings dialog, which must take the focus.
open_dialog() {
  "$TARNWICK" "$1" >"$TEST_TMP/dialog.out" 2>&1 &
  DIALOG_PID=$!
  DIALOG=$(window_named "Tarnwick 3D Screensaver Configuration" 20) || { cat "$TEST_TMP/dialog.out"; fail "no dialog"; }
  wait_for '[ "$(active_window)" = "$DIALOG" ]' 10 || fail "$1: the dialog did not take the focus"
}
closed_with_0() {
  wait_exit "$DIALOG_PID" 10
  [ "$EXIT_CODE" = 0 ] || fail "$1: exit code $EXIT_CODE, expected 0"
}
# expect_file MOUSE FPS TIME FORMAT SOUND EVERY WHAT: the eight lines OK writes.
expect_file() {
  printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s/\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n' \
    "$TARNWICK_DIST_DIR" "$1" "$2" "$3" "$4" "$5" "$6" >"$TEST_TMP/expected.txt"
  cmp -s "$TEST_TMP/expected.txt" "$SETTINGS" || fail "$7: the settings file is $(od -c "$SETTINGS" | head -20)"
}

note "the dialog's Tab order: the options, the checked clock form, the sound, every monitor, OK"
write_settings 0 0 1 24
open_dialog /c
xdotool key space Tab space Tab Tab Tab space Tab space Tab space
closed_with_0 "Space on OK"
expect_file 1 1 1 24 0 1 "Space on \"Exit On Mouse Move\", \"Show FPS\", \"Play Sound\", \"Show On Every Monitor\" and OK"

note "on through Cancel to Restore Defaults, and back to OK"
open_dialog /c
xdotool key Tab Tab Tab Tab Tab Tab Tab Tab space shift+Tab shift+Tab space
closed_with_0 "Space on OK"
expect_file 0 0 1 12 1 0 "Space on Restore Defaults, then on OK two Shift+Tabs back"

note "About... last; after its box the focus is back on it"
open_dialog /c
xdotool key Tab Tab Tab Tab Tab Tab Tab Tab Tab space
about=$(window_named "About Tarnwick 3D" 10) || fail "nine Tabs from the first option do not reach About..."
wait_for '[ "$(active_window)" = "$about" ]' 10 || fail "the about box did not take the focus"
xdotool key Return
wait_for '! xdotool search --onlyvisible --name "^About Tarnwick 3D\$"' 10 || fail "Return left the about box shown"
wait_for '[ "$(active_window)" = "$DIALOG" ]' 10 || fail "the focus did not come back to the dialog"
# On Windows the dialog gets its focused control back when the box closes:
# Space presses About... again.
xdotool key space
window_named "About Tarnwick 3D" 5 >/dev/null || fail "after the about box closed no control of the dialog has the focus"
xdotool key Return
wait_for '! xdotool search --onlyvisible --name "^About Tarnwick 3D\$"' 10 || fail "Return left the about box shown"
xdotool key Escape
closed_with_0 Escape

# The close box sits at the right end of openbox's title bar.
click_close_box() {
  local x y w top right
  read -r x y w < <(xwininfo -id "$DIALOG" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} END {print x, y, w}')
  read -r right top < <(xprop -id "$DIALOG" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print $4, $5}')
  xdotool mousemove --sync $((x + w + right - 12)) $((y - top / 2)) click 1
}

for way in Cancel OK "the close box"; do
  note "/c:ID above its window, which is usable again after $way"
  xev -name "Tarnwick Test Owner" -geometry 500x400+50+50 -event keyboard >"$TEST_TMP/owner.log" 2>&1 &
  OWNER_PID=$!
  OWNER=$(window_named "Tarnwick Test Owner" 10) || fail "the owner window did not appear"
  wait_for '[ "$(active_window)" = "$OWNER" ]' 10 || fail "the owner window did not take the focus"
  open_dialog "/c:$OWNER"
  [ "$(printf '%d' "$(xprop -id "$DIALOG" WM_TRANSIENT_FOR | awk '{print $NF}')")" = "$OWNER" ] ||
    fail "the dialog is not kept for its owner: $(xprop -id "$DIALOG" WM_TRANSIENT_FOR)"
  xprop -id "$DIALOG" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL || fail "the dialog is not modal"
  # Nothing happens here if all is well, so this waits its whole limit.
  xdotool windowactivate "$OWNER" 2>/dev/null || true
  wait_for '[ "$(active_window)" = "$OWNER" ]' 2 && fail "the owner took the focus from the open dialog"
  stacked_above "$DIALOG" "$OWNER" || fail "the dialog went below its owner: $(xprop -root _NET_CLIENT_LIST_STACKING)"
  case "$way" in
  Cancel) xdotool mousemove --sync --window "$DIALOG" $CANCEL click 1 ;;
  OK) xdotool mousemove --sync --window "$DIALOG" $OK click 1 ;;
  *) click_close_box ;;
  esac
  closed_with_0 "$way"
  xdotool windowactivate "$OWNER"
  wait_for '[ "$(active_window)" = "$OWNER" ]' 10 || fail "after $way the owner window cannot take the focus"
  xdotool key a
  wait_for 'grep -q KeyPress "$TEST_TMP/owner.log"' 10 || fail "after $way the owner window gets no keys"
  kill "$OWNER_PID"
  wait "$OWNER_PID" 2>/dev/null || true
done
echo PASS
