#!/usr/bin/env bash
# The programs of the Debian package that `make package` writes, unpacked
# into a scratch root and run from there with no settings file: the hack
# under the real xscreensaver daemon finds its data two folders up, renders
# the lake in the saver's window and writes nothing; usr/bin/tarnwick, the
# link to it, fills its own screen with the lake, ends on a key with exit
# code 0 and writes nothing; --version prints the package's version.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

VERSION=$(sed -n 's/.*TarnwickVersion\[\] = "\([^"]*\)".*/\1/p' "$TARNWICK_BUILD_DIR/generated/tarnwick_version.h")
[ -n "$VERSION" ] || fail "no version in $TARNWICK_BUILD_DIR/generated/tarnwick_version.h"
deb="$TARNWICK_BUILD_DIR/../packages/tarnwick_${VERSION}_amd64.deb"
[ -f "$deb" ] || fail "no $deb: \`make package\` writes it"
# Data installed on this machine would hide data the program fails to find.
[ ! -e /usr/share/tarnwick ] || fail "/usr/share/tarnwick exists: the test cannot tell where the data came from"

saver_folder
root="$SAVER/root"
dpkg-deb -x "$deb" "$root"
program="$root/usr/libexec/xscreensaver/tarnwick"

note "--version"
out=$("$root/usr/bin/tarnwick" --version) || fail "--version: exit code $?"
[ "$out" = "tarnwick $VERSION" ] || fail "--version printed '$out', expected 'tarnwick $VERSION'"

note "the packaged hack under the daemon, no settings file"
start_xvfb 800x600
saver_programs "$program --root"
start_daemon "$program"
ask -activate
wait_for '[ -n "$(hacks)" ]' 30 || { tail -20 "$TEST_TMP/daemon.log"; fail "no hack started"; }
pid=$(hacks | head -n1)
window=$(saver_window "$pid")
[ -n "$window" ] || { tail -20 "$TEST_TMP/daemon.log"; fail "the hack ended at once or was given no XSCREENSAVER_WINDOW"; }
lake_moves "$window"
note "pid $pid draws into $window and moves ($CHANGED pixels in a new frame)"
ask -deactivate
hacks_ended -deactivate "$pid"
[ ! -e "$SAVER_HOME/.config/tarnwick" ] || fail "the hack wrote $(find "$SAVER_HOME/.config/tarnwick")"
stop_daemon
kill "$XVFB_PID"
wait_gone "$XVFB_PID" 10 || fail "Xvfb did not end"

note "usr/bin/tarnwick /s on a screen of its own, no settings file"
start_xvfb 1280x720
home="$TEST_TMP/home"
mkdir -p "$home"
HOME="$home" "$root/usr/bin/tarnwick" /s >"$TEST_TMP/run.out" 2>&1 &
pid=$!
on_exit 'kill "$pid" 2>/dev/null'
window_named "Tarnwick 3D Screensaver" 30 >/dev/null || { cat "$TEST_TMP/run.out"; fail "no full-screen window"; }
wait_for_lake 40 || { cat "$TEST_TMP/run.out"; fail "the lake never appeared"; }
wait_for_new_frame root "$TEST_TMP/lake.png" 60 100 || fail "the lake does not move"
xdotool key x
wait_exit "$pid" 10
[ "$EXIT_CODE" = 0 ] || { cat "$TEST_TMP/run.out"; fail "a key: exit code $EXIT_CODE, expected 0"; }
[ ! -e "$XDG_CONFIG_HOME" ] || fail "the run wrote $(find "$XDG_CONFIG_HOME")"
[ -z "$(ls -A "$home")" ] || fail "the run wrote into its home: $(ls -A "$home")"
echo PASS
