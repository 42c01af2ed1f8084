#!/usr/bin/env bash
# The Linux program needs no set-up: without a settings file the distribution
# program fills the screen with the lake and writes nothing, and its dialog
# (whose about box shows the version) writes the file only on OK; a tree unpacked
# anywhere (bin/ beside share/tarnwick/) finds its data, and a missing model
# is named in full; --help, --version and a bad option print what they should
# with the exit codes xscreensaver hacks use. A settings file that cannot name
# the data (a home line that has gone, an empty one, random bytes, a folder in
# the file's place) is no trap: the hack draws the lake from the data beside
# the program, says so once in printable words, and the dialog's OK repairs it.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

version=$(sed -n 's/^project(Tarnwick VERSION \([0-9.]*\).*/\1/p' "$TARNWICK_SOURCE_DIR/CMakeLists.txt")
[ -n "$version" ] || fail "no version in CMakeLists.txt"

note "--help: the switches, the hack's options and where the settings live, exit 0"
status=0; "$TARNWICK" --help >"$TEST_TMP/help.out" 2>"$TEST_TMP/help.err" || status=$?
[ "$status" = 0 ] || fail "--help: exit code $status"
for text in "/p WINDOW" "--window-id WINDOW" "--clock24" "$SETTINGS" "data from $TARNWICK_DIST_DIR/"; do
  grep -qF -- "$text" "$TEST_TMP/help.out" || { cat "$TEST_TMP/help.out"; fail "--help does not say '$text'"; }
done
[ ! -s "$TEST_TMP/help.err" ] || fail "--help wrote to stderr: $(cat "$TEST_TMP/help.err")"

note "--version and -version"
for option in --version -version; do
  out=$("$TARNWICK" "$option") || fail "$option: exit code $?"
  [ "$out" = "tarnwick $version" ] || fail "$option printed '$out', expected 'tarnwick $version'"
done

note "an unknown option: the usage on stderr, exit 2"
for option in --speed -speed; do
  status=0; "$TARNWICK" "$option" >"$TEST_TMP/bad.out" 2>"$TEST_TMP/bad.err" || status=$?
  [ "$status" = 2 ] || fail "$option: exit code $status, expected 2"
  grep -qF "Unknown option: $option" "$TEST_TMP/bad.err" && grep -q '^Usage: tarnwick' "$TEST_TMP/bad.err" ||
    fail "$option: stderr was '$(cat "$TEST_TMP/bad.err")'"
  [ ! -s "$TEST_TMP/bad.out" ] || fail "$option wrote to stdout"
done
[ ! -e "$XDG_CONFIG_HOME" ] || fail "printing the usage created $XDG_CONFIG_HOME"

start_xvfb 1280x720
note "no settings file: the lake fills the screen, a key ends it, nothing is written"
"$TARNWICK" >"$TEST_TMP/run.out" 2>&1 &
pid=$!
id=$(window_named "Tarnwick 3D Screensaver" 30) || { cat "$TEST_TMP/run.out"; fail "no full-screen window"; }
wait_for_lake 40 || { cat "$TEST_TMP/run.out"; fail "the lake never appeared"; }
geometry=$(xwininfo -id "$id" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$geometry" = 1280x720 ] || fail "the window is $geometry, the screen 1280x720"
xdotool key x
wait_exit "$pid" 10
[ "$EXIT_CODE" = 0 ] || { cat "$TEST_TMP/run.out"; fail "a key: exit code $EXIT_CODE, expected 0"; }
[ ! -e "$XDG_CONFIG_HOME" ] || fail "the run wrote $(find "$XDG_CONFIG_HOME")"

note "no settings file: the dialog opens, its about box shows the version, OK writes the file"
"$TARNWICK" /c >"$TEST_TMP/dialog.out" 2>&1 &
pid=$!
dialog=$(window_named "Tarnwick 3D Screensaver Configuration" 20) || { cat "$TEST_TMP/dialog.out"; fail "no dialog"; }
about=$(click_until_window "$dialog" "$ABOUT" "About Tarnwick 3D") || fail "no about box"
# The version line lies between the credit (client rows 40 to 50) and the
# notice (66 to 76), where the box is otherwise blank.
version_shown() {
  import -window "$about" "$TEST_TMP/about.png" &&
    greater "$(convert "$TEST_TMP/about.png" -crop 180x6+20+55 -colorspace gray -format '%[fx:standard_deviation]' info:)" 0.05
}
wait_for version_shown 10 || fail "the about box shows no version line"
close_window "$about"
wait_for "! xdotool search --onlyvisible --name '^About Tarnwick 3D\$'" 10 || fail "the about box stays"
[ ! -e "$XDG_CONFIG_HOME" ] || fail "the dialog wrote $(find "$XDG_CONFIG_HOME") before OK"
xdotool mousemove --sync --window "$dialog" $OK click 1
wait_exit "$pid" 10
[ "$EXIT_CODE" = 0 ] || { cat "$TEST_TMP/dialog.out"; fail "OK: exit code $EXIT_CODE, expected 0"; }
[ "$(sed -n 2p "$SETTINGS" | tr -d '\r')" = "$TARNWICK_DIST_DIR/" ] || fail "OK did not write the data folder as home"

note "unpacked as PREFIX/bin and PREFIX/share/tarnwick: a missing file is named in full"
rm -r "$XDG_CONFIG_HOME" # no settings file again
prefix=$(realpath "$TEST_TMP")/prefix
data="$prefix/share/tarnwick"
mkdir -p "$prefix/bin" "$data/models"
cp "$TARNWICK" "$prefix/bin/tarnwick"
ln -s "$TARNWICK_DIST_DIR"/models/* "$data/models/"
ln -s "$TARNWICK_DIST_DIR/pictures" "$data/"
rm "$data/models/tarnwick.umf"
make_target_window 320x240+0+0
on_exit 'kill "$TARGET_PID"'
# expect_missing FILE: the hack ends with exit code 1, naming FILE.
expect_missing() {
  local status=0
  XSCREENSAVER_WINDOW="$TARGET" timeout 60 "$prefix/bin/tarnwick" --root >"$TEST_TMP/missing.out" 2>&1 || status=$?
  [ "$status" = 1 ] || { cat "$TEST_TMP/missing.out"; fail "a missing $1: exit code $status, expected 1"; }
  grep -qF "File not found: $1" "$TEST_TMP/missing.out" ||
    fail "the message does not name $1: $(cat "$TEST_TMP/missing.out")"
}
expect_missing "$data/sounds/smallwaterfall.wav"
ln -s "$TARNWICK_DIST_DIR/sounds" "$data/"
expect_missing "$data/models/tarnwick.umf"

# runs_anyway WHAT: the hack draws the moving lake into the test's window
# from the distribution folder, with one printable line on stderr that names it.
runs_anyway() {
  "$TARNWICK" --window-id "$TARGET" >"$TEST_TMP/broken.out" 2>&1 &
  local pid=$!
  presents_frames "$pid" "$TARGET" || { cat "$TEST_TMP/broken.out"; fail "$1: the hack draws no lake"; }
  kill -TERM "$pid"
  wait_exit "$pid" 10
  [ "$(grep -c . "$TEST_TMP/broken.out")" = 1 ] && grep -qF "$TARNWICK_DIST_DIR/" "$TEST_TMP/broken.out" ||
    fail "$1: stderr does not say once which folder it took: $(cat -v "$TEST_TMP/broken.out")"
  iconv -f UTF-8 -t UTF-8 "$TEST_TMP/broken.out" >/dev/null 2>&1 && ! LC_ALL=C grep -q '[[:cntrl:]]' "$TEST_TMP/broken.out" &&
    ! LC_ALL=C.UTF-8 grep -qP '[\x{80}-\x{9f}]' "$TEST_TMP/broken.out" || fail "$1: raw bytes in $(cat -v "$TEST_TMP/broken.out")"
}
# repaired_by_ok WHAT: OK in the dialog (Return) writes eight lines naming the distribution folder.
repaired_by_ok() {
  "$TARNWICK" /c >"$TEST_TMP/dialog.out" 2>&1 &
  local pid=$!
  window_named "Tarnwick 3D Screensaver Configuration" 20 >/dev/null || { cat "$TEST_TMP/dialog.out"; fail "$1: no dialog"; }
  wait_for "xdotool search --onlyvisible --name '^Tarnwick 3D Screensaver Configuration\$' windowfocus --sync key Return; ! alive $pid" 20 ||
    fail "$1: OK did not end the dialog"
  wait_exit "$pid" 5
  [ "$EXIT_CODE" = 0 ] || { cat "$TEST_TMP/dialog.out"; fail "$1: OK: exit code $EXIT_CODE"; }
  ! grep -q -i 'pango\|warning' "$TEST_TMP/dialog.out" || fail "$1: $(cat -v "$TEST_TMP/dialog.out")"
  [ "$(sed -n 2p "$SETTINGS" | tr -d '\r')" = "$TARNWICK_DIST_DIR/" ] && [ "$(wc -l <"$SETTINGS")" = 8 ] ||
    fail "$1: OK did not write a settings file naming $TARNWICK_DIST_DIR/: $(cat -v "$SETTINGS")"
}
note "a settings file whose home has gone"
write_settings 0 0 1 24 "$TEST_TMP/moved-away"
runs_anyway "a home that has gone"
repaired_by_ok "a home that has gone"
note "a settings file with an empty home line"
write_settings 0 0 1 24 ""
sed -i '2s/.*/\r/' "$SETTINGS"
runs_anyway "an empty home line"
note "a settings file of random bytes"
head -c 600 /dev/urandom >"$SETTINGS"
runs_anyway "random bytes"
repaired_by_ok "random bytes"
note "a folder where the settings file should be"
rm "$SETTINGS" && mkdir "$SETTINGS"
runs_anyway "a folder"
grep -qF "$SETTINGS is a folder" "$TEST_TMP/broken.out" || fail "the folder is not called one: $(cat "$TEST_TMP/broken.out")"
echo PASS
