#!/usr/bin/env bash
# "/p ID": the logo is painted at (0, 0) of the given window (how soon is
# printed) and painted again when the window is wiped, no window of the
# program's own is mapped, and the program ends (exit code 0) when the
# window is destroyed. A window id that names no window is an error, and so
# is one that is not a number.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_xvfb 1024x768
write_settings 0 0 1 12
logo="$TARNWICK_DIST_DIR/pictures/logo.bmp"

make_target_window 200x150+0+0
before=$(xwininfo -root -children | grep -c '^ *0x' || true)
start=$(date +%s%N)
"$TARNWICK" /p "$TARGET" >"$TEST_TMP/preview.out" 2>&1 &
PREVIEW_PID=$!
wait_for_logo "$TARGET" 20 || { cat "$TEST_TMP/preview.out"; fail "the logo never showed at (0, 0)"; }
note "the logo showed $((($(date +%s%N) - start) / 1000000)) ms after the start"
corner=$(pixels_differ "$TEST_TMP/shown.png[8x8+0+0]" "$logo[8x8+0+0]")
[ "$corner" -lt 4 ] || fail "the logo's top-left corner is not at (0, 0) ($corner pixels differ)"
after=$(xwininfo -root -children | grep -c '^ *0x' || true)
[ "$after" = "$before" ] || fail "the preview mapped a window of its own ($before top-level windows, then $after)"
# Wiped by an exposure (the server paints the window's background), the
# logo comes back while the window is there.
xrefresh -geometry 200x150+0+0
wait_for_logo "$TARGET" 10 && alive "$PREVIEW_PID" || fail "the preview stopped painting while its window was there"

kill "$TARGET_PID"
wait_exit "$PREVIEW_PID" 2
[ "$EXIT_CODE" = 0 ] || fail "after the window went: exit code $EXIT_CODE, expected 0"

note "a window id that names no window: an error box, exit code 1"
"$TARNWICK" /p 987654321 >"$TEST_TMP/bad.out" 2>&1 &
BAD_PID=$!
box=$(window_named "Tarnwick 3D Screensaver" 20) || fail "no error box for a missing window"
xdotool windowfocus --sync "$box" key Return
wait_exit "$BAD_PID" 5
[ "$EXIT_CODE" = 1 ] && grep -q "Window not found: 987654321" "$TEST_TMP/bad.out" ||
  fail "a missing window: exit code $EXIT_CODE, $(cat "$TEST_TMP/bad.out")"
echo PASS
