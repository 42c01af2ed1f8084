#!/usr/bin/env bash
# Tarnwick.exe as Windows 10 and 11 see it: the resources it carries (a
# manifest asking for per-monitor DPI awareness and the common controls of
# version 6, the version, the name the Screen Saver Settings list, the
# description, an icon of every size from 16 to 256 pixels that the system
# draws with see-through corners); the settings dialog and the about box at
# 96 dots an inch and at 144 (150 %), where every control is 1.5 times its
# place and size at 96 and every text fits its control in the system's
# message font, also after being told it has moved onto a monitor at 144
# (WM_DPICHANGED); and the full-screen run at 144 covering every pixel of the
# screen. Screenshots of both dialogs go to $TARNWICK_BUILD_DIR/screenshots/.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 1024x768
use_wine_prefix
source "$(dirname "$0")/shell_helpers.bash"
home="$(win_path "$TARNWICK_WINDOWS_DIST")"
shots="$TARNWICK_BUILD_DIR/screenshots"
mkdir -p "$shots"
version=$(sed -n 's/.*TarnwickVersion\[\] = "\([^"]*\)".*/\1/p' "$TARNWICK_BUILD_DIR/generated/tarnwick_version.h")
[ -n "$version" ] || fail "no version in $TARNWICK_BUILD_DIR/generated/tarnwick_version.h"

note "resources"
r="$TEST_TMP/resources.out"
probe resources "$EXE" >"$r" || { cat "$r"; fail "the resources cannot be read"; }
grep -Ev '^(manifest|icon-drawn):' "$r"
expect_line "$r" '^manifest: .*<dpiAwareness [^>]*>PerMonitorV2, PerMonitor</dpiAwareness>'
expect_line "$r" '^manifest: .*<dpiAware [^>]*>true/pm</dpiAware>'
expect_line "$r" '^manifest: .*name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'
expect_line "$r" '^manifest: .*<requestedExecutionLevel level="asInvoker"'
for os in 35138b9a-5d96-4fbd-8e2d-a2440225f93a 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do # 7, 10 and 11
  expect_line "$r" "^manifest: .*<supportedOS Id=\"\\{$os\\}\"/>"
done
expect_line "$r" "^version: FileVersion=$version.0 ProductVersion=$version.0\$"
expect_line "$r" "^version: FileVersion=$version\$"
expect_line "$r" "^version: ProductVersion=$version\$"
expect_line "$r" '^version: ProductName=Tarnwick 3D Screensaver$'
expect_line "$r" '^version: CompanyName=Moonquill$'
expect_line "$r" '^version: OriginalFilename=Tarnwick.scr$'
expect_line "$r" '^version: FileDescription=.'
expect_line "$r" '^string 1: Tarnwick 3D Screensaver$'
expect_line "$r" '^description: SCRNSAVE Tarnwick 3D Screensaver\|$'
expect_line "$r" '^resource: 10 DESCRIPTION$'
expect_line "$r" '^resource: 14 '
for size in 16 20 24 32 48 256; do
  expect_line "$r" "^icon: ${size}x${size} bpp=32\$"
  # Drawn over white: a corner shows the white through, the middle the lake.
  read -r corner centre < <(sed -n "s/^icon-drawn: $size corner=\([0-9a-f]*\) centre=\([0-9a-f]*\)/\1 \2/p" "$r")
  [[ "$corner" =~ ^f[0-9a-f]f[0-9a-f]f[0-9a-f]$ ]] || fail "the ${size}-pixel icon's corner is $corner, not see-through"
  [[ -n "$centre" && ! "$centre" =~ ^f[0-9a-f]f[0-9a-f]f[0-9a-f]$ ]] || fail "the ${size}-pixel icon is empty: $centre"
done

# The dialog under the control panel's window, its controls, their fit and a
# screenshot (dialog-DPI.png); then the about box the same way. Reports in
# $TEST_TMP/{dialog,fit,about,aboutfit}-DPI.out.
look_at_dialogs() {
  local dpi="$1"
  probe host owner 0 30000 "$EXE" "/c:{HWND}" >"$TEST_TMP/host.out" &
  local host=$!
  probe window "$MAIN_CLASS" 30000 >"$TEST_TMP/dialog-$dpi.out" || fail "no dialog at $dpi DPI"
  probe fit "$MAIN_CLASS" 5000 >"$TEST_TMP/fit-$dpi.out" || { cat "$TEST_TMP/fit-$dpi.out"; fail "texts cut off in the dialog at $dpi DPI"; }
  import -window root "$shots/dialog-$dpi.png"
  probe click "$MAIN_CLASS" "About..." || fail "no About button"
  probe window TForm2 5000 >"$TEST_TMP/about-$dpi.out" || fail "no about box at $dpi DPI"
  probe fit TForm2 5000 >"$TEST_TMP/aboutfit-$dpi.out" || { cat "$TEST_TMP/aboutfit-$dpi.out"; fail "texts cut off in the about box at $dpi DPI"; }
  import -window root "$shots/about-$dpi.png"
  probe click TForm2 OK
  probe gone TForm2 5000 || fail "the about box stays"
  probe click "$MAIN_CLASS" Cancel
  wait_exit $host
}

# The rectangles of a window report, one "L T W H" a line (the window first).
rects() { sed -n 's/^\(window\|control\): .* rect=\(-\?[0-9]*\) \(-\?[0-9]*\) \([0-9]*\) \([0-9]*\) .*/\2 \3 \4 \5/p' "$1"; }

# Fails unless every rectangle of report $2 is 1.5 times that of report $1
# (within a pixel). Of the window only the size counts, which centring
# does not decide; with $3 = controls not even that (the about box is sized
# by its client area). A label may be taller, to hold a line of its font;
# the website label, as wide as its text, is left to the fit check but for
# its top.
check_scaled() {
  local at96="$1" at144="$2" what="${3:-all}"
  [ "$(rects "$at96" | wc -l)" = "$(rects "$at144" | wc -l)" ] || fail "the controls differ between the two DPIs"
  paste -d ' ' <(rects "$at96") <(rects "$at144") <(sed -n -e 's/^window: .* rect=.*/window/p' -e 's/^control: \([A-Za-z0-9]* "[^"]\{0,8\}\).* rect=.*/\1/p' "$at96" | tr ' ' '_') |
    awk -v what="$what" 'function off(a, b) { d = a * 1.5 - b; return d > 1 || d < -1 }
         NR == 1 { if (what == "all" && (off($3, $7) || off($4, $8))) { print "window " $3 "x" $4 " -> " $7 "x" $8; bad++ }; next }
         $9 ~ /Visit/ { if (off($2, $6)) { print $9 " top " $2 " -> " $6; bad++ }; next }
         { n = 4; if ($9 ~ /^Static/ && $8 > $4 * 1.5) n = 3  # a label grown to a line of its font
           for (i = 1; i <= n; i++) if (off($i, $(i + 4))) { print $9 ": " $1 " " $2 " " $3 " " $4 " -> " $5 " " $6 " " $7 " " $8; bad++; break } }
         END { exit bad > 0 }' || fail "not 1.5 times the 96-DPI layout: see above"
}

note "the settings dialog and the about box at 96 DPI"
write_settings "$home" 1 0 0 24
look_at_dialogs 96
head -n1 "$TEST_TMP/dialog-96.out"
expect_line "$TEST_TMP/dialog-96.out" '^window: caption="Tarnwick 3D Screensaver Configuration" rect=352 220 320 328 '
cat "$TEST_TMP/fit-96.out" "$TEST_TMP/aboutfit-96.out"
# The version resource says the copyright as the about box does.
copyright=$(sed -n 's/^version: LegalCopyright=//p' "$r")
grep -qF "control: Static \"$copyright\"" "$TEST_TMP/about-96.out" || fail "the about box does not say \"$copyright\""

note "moved onto a monitor at 144 DPI: the dialog and the hidden about box follow"
probe host owner 0 30000 "$EXE" "/c:{HWND}" >"$TEST_TMP/host.out" &
host=$!
probe window "$MAIN_CLASS" 30000 >/dev/null || fail "no dialog"
probe dpichanged "$MAIN_CLASS" 144 >"$TEST_TMP/moved.out" || { cat "$TEST_TMP/moved.out"; fail "WM_DPICHANGED not answered"; }
probe window "$MAIN_CLASS" 5000 >"$TEST_TMP/dialog-moved.out"
head -n1 "$TEST_TMP/dialog-moved.out"
expect_line "$TEST_TMP/dialog-moved.out" "^window: .* rect=$(sed -n 's/^suggested: rect=//p' "$TEST_TMP/moved.out") "
check_scaled "$TEST_TMP/dialog-96.out" "$TEST_TMP/dialog-moved.out"
probe click "$MAIN_CLASS" "About..." || fail "no About button"
probe window TForm2 5000 >"$TEST_TMP/about-moved.out" || fail "no about box"
check_scaled "$TEST_TMP/about-96.out" "$TEST_TMP/about-moved.out" controls
# Opened over the dialog, the box arrives on the monitor at 144, and the
# system tells it so, suggesting its frame scaled once more: it is already
# fitted to that monitor and stays as it is.
probe dpichanged TForm2 144 >"$TEST_TMP/about-arrived.out" || { cat "$TEST_TMP/about-arrived.out"; fail "WM_DPICHANGED not answered by the about box"; }
probe window TForm2 5000 >"$TEST_TMP/about-arrived.out"
check_scaled "$TEST_TMP/about-96.out" "$TEST_TMP/about-arrived.out" controls
size() { sed -n 's/^window: .* rect=-\?[0-9]* -\?[0-9]* \([0-9]*\) \([0-9]*\) .*/\1x\2/p' "$1"; }
[ "$(size "$TEST_TMP/about-arrived.out")" = "$(size "$TEST_TMP/about-moved.out")" ] ||
  fail "the about box was scaled again on arriving: $(size "$TEST_TMP/about-moved.out") -> $(size "$TEST_TMP/about-arrived.out")"
probe click TForm2 OK
probe gone TForm2 5000 || fail "the about box stays"
probe click "$MAIN_CLASS" Cancel
wait_exit $host

note "at 144 DPI (150 %)"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w
look_at_dialogs 144
head -n1 "$TEST_TMP/dialog-144.out"
cat "$TEST_TMP/fit-144.out" "$TEST_TMP/aboutfit-144.out"
expect_line "$TEST_TMP/fit-144.out" '^dpi=144$'
expect_line "$TEST_TMP/dialog-144.out" '^window: caption="Tarnwick 3D Screensaver Configuration" rect=272 138 480 492 '
check_scaled "$TEST_TMP/dialog-96.out" "$TEST_TMP/dialog-144.out"
read -r cw ch < <(sed -n 's/^window: .* client=\([0-9]*\) \([0-9]*\) .*/\1 \2/p' "$TEST_TMP/about-144.out")
[ "$cw $ch" = "327 207" ] || fail "the about box's client area is $cw x $ch at 144 DPI, not 1.5 x 218 x 138"
check_scaled "$TEST_TMP/about-96.out" "$TEST_TMP/about-144.out" controls

note "the full-screen run at 144 DPI covers the whole screen"
wine "$EXE" /s >"$TEST_TMP/run.out" 2>&1 &
run=$!
probe window "$MAIN_CLASS" 60000 >"$TEST_TMP/window.out" || { cat "$TEST_TMP/run.out"; fail "no window"; }
head -n1 "$TEST_TMP/window.out"
expect_line "$TEST_TMP/window.out" '^window: caption="Tarnwick 3D Screensaver" rect=0 0 1024 768 client=1024 768 .*screen=1024 768$'
# The lake reaches the screen's far corner: the viewport is the whole window.
corner_lit() {
  import -window root -crop 64x64+960+704 "$TEST_TMP/corner.png" &&
    [ "$(convert "$TEST_TMP/corner.png" -format '%[fx:int(mean*1000)]' info:)" -gt 50 ]
}
wait_for corner_lit 60 || fail "the bottom right corner of the screen stays dark at 144 DPI"
xdotool key x
wait_for "! kill -0 $run" 10 || fail "the run did not end on a key"
echo PASS
