#!/usr/bin/env bash
# Under a window manager the about box and the error boxes are wide enough
# for their titles (at least the title's width in a bold 11-point desktop
# font and room for the title bar's icon and buttons), and Escape closes the about box
# as its close box does: the dialog is enabled again.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_xvfb 1024x768
start_openbox
CAPTION="Tarnwick 3D Screensaver Configuration"
write_settings 0 0 1 12
problems=0
problem() { echo "PROBLEM: $*" >&2; problems=$((problems + 1)); }

# fits WINDOW TITLE: the window's width holds TITLE, an icon and three buttons.
fits() {
  local width text
  width=$(xwininfo -id "$1" | awk '/Width:/ {print $2}')
  text=$(convert -density 96 -font DejaVu-Sans-Bold -pointsize 11 label:"$2" -format %w info:)
  [ "$width" -ge $((text + 100)) ] || { echo "\"$2\": $width pixels wide, the title alone $text" >&2; return 1; }
}

note "the about box"
"$TARNWICK" /c >"$TEST_TMP/dialog.out" 2>&1 &
pid=$!
dialog=$(window_named "$CAPTION" 20) || fail "no dialog: $(cat "$TEST_TMP/dialog.out")"
about=$(click_until_window "$dialog" "$ABOUT" "About Tarnwick 3D") || fail "no about box"
fits "$about" "About Tarnwick 3D" || problem "the about box is narrower than its title"

note "Escape closes the about box"
xdotool windowfocus --sync "$about" key Escape
if wait_for "! xdotool search --onlyvisible --name '^About Tarnwick 3D\$'" 5; then
  # Enabled again: its close box ends it.
  close_window "$dialog"
  wait_exit "$pid" 10
  [ "$EXIT_CODE" = 0 ] || problem "the dialog's close box after Escape: exit code $EXIT_CODE"
else
  problem "Escape left the about box shown"
  kill "$pid"
fi

note "an error box"
"$TARNWICK" /p 0x1 >"$TEST_TMP/error.out" 2>&1 &
pid=$!
box=$(window_named "Tarnwick 3D Screensaver" 20) || fail "no error box: $(cat "$TEST_TMP/error.out")"
fits "$box" "Tarnwick 3D Screensaver" || problem "the error box is narrower than its title"
xdotool windowfocus --sync "$box" key Return
wait_exit "$pid" 10
[ "$EXIT_CODE" = 1 ] || problem "the error box's run: exit code $EXIT_CODE"
[ "$problems" = 0 ] || fail "$problems problems"
echo PASS
