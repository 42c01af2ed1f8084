#!/usr/bin/env bash
# The settings dialog in the fonts Windows may give it rather than the Tahoma
# the other tests install: Wine's fallback font (a prefix without Tahoma)
# (DejaVu Sans here) and a font wider than Windows 10's Segoe UI 9 (DejaVu
# Sans Mono in the dialog font's place, through the prefix's font
# substitutes). Each control holds its
# text as measured in that font, lies inside its parent, overlaps no other
# control (the "12 hrs" button does not reach over the "24 hrs" circle, the
# Options frame does not run under Products), and the caption fits the
# title bar; at 96 and at 144 DPI. Screenshots go to
# $TARNWICK_BUILD_DIR/screenshots/dialog-FONT-DPI.png.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 1024x768
use_wine_prefix
source "$(dirname "$0")/shell_helpers.bash"
shots="$TARNWICK_BUILD_DIR/screenshots"
mkdir -p "$shots"
write_settings "$(win_path "$TARNWICK_WINDOWS_DIST")" 0 0 1 12
rm -f "$WINEPREFIX"/drive_c/windows/Fonts/tahoma*.ttf

# check_fit NAME: the dialog's texts fit and nothing overlaps.
check_fit() {
  probe host owner 0 30000 "$EXE" "/c:{HWND}" >"$TEST_TMP/host.out" &
  local host=$!
  probe window "$MAIN_CLASS" 30000 >"$TEST_TMP/dialog-$1.out" || fail "no dialog ($1)"
  local status=0
  probe fit "$MAIN_CLASS" 5000 >"$TEST_TMP/fit-$1.out" || status=$?
  import -window root "$shots/dialog-$1.png"
  cat "$TEST_TMP/fit-$1.out"
  probe click "$MAIN_CLASS" Cancel
  wait_exit $host
  [ $status = 0 ] || fail "the dialog does not fit its texts in $1: see above"
}

note "Wine's fallback font"
check_fit fallback-96

note "DejaVu Sans Mono in the dialog font's place"
# Without Tahoma the message font is "MS Shell Dlg", which Wine maps to Tahoma.
# Windows 10 and 11 draw "Exit On Mouse Move" some 113 pixels wide in Segoe UI 9.
for face in Tahoma 'MS Shell Dlg'; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" /d 'DejaVu Sans Mono' /f >/dev/null 2>&1
done
wineserver -w
check_fit wide-96
width() { sed -n 's/^fit: Button "Exit On Mouse Move" .* text=\([0-9]*\) .*/\1/p' "$TEST_TMP/fit-$1.out"; }
[ "$(width wide-96)" -gt "$(width fallback-96)" ] || fail "DejaVu Sans Mono did not take the dialog font's place"

note "DejaVu Sans Mono at 144 DPI"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w
check_fit wide-144
echo PASS
