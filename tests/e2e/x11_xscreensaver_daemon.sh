#!/usr/bin/env bash
# The program under the real xscreensaver daemon (6.x), which refuses to
# start hacks as root: the daemon runs as "nobody" with a scratch home whose
# ~/.xscreensaver names the hack, mode one, and whose settings file names a
# home that has gone. "-activate" starts it: the lake
# shows in the saver's window and moves, the waterfall plays, and the
# options of xscreensaver/tarnwick.xml take effect as the daemon passes them
# (with two dashes). "-deactivate" ends it promptly with nothing left
# behind; a second "-activate" and "-cycle" start it cleanly again.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_xvfb 800x600
start_pulse
saver_folder
saver="$SAVER"
mkdir -p "$SAVER_HOME/.config/tarnwick"
cp -r "$TARNWICK" "$TARNWICK_DIST_DIR/models" "$TARNWICK_DIST_DIR/pictures" "$TARNWICK_DIST_DIR/sounds" "$saver/"
# No FPS, no clock, 12-hour form: the daemon's options must show otherwise.
# The home line names a folder that has gone (the data moved beside the
# program): the hack takes the data from there and the file's choices.
printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n0\r\n0\r\n0\r\n12\r\n' \
  "$TEST_TMP/moved-away" >"$SAVER_HOME/.config/tarnwick/tarnwick.txt"
# The options as xscreensaver/tarnwick.xml offers them, with the two dashes
# xscreensaver 6 writes: ARG-SET "-fps" becomes "--fps".
xml="$TARNWICK_SOURCE_DIR/xscreensaver/tarnwick.xml"
option() {
  local arg
  arg=$(sed -n "s/.*$1=\"-\([^\"]*\)\".*/--\1/p" "$xml")
  [ -n "$arg" ] || fail "no $1 in $xml"
  echo "$arg"
}
root=$(option 'command arg')
fps=$(option 'id="fps".*arg-set')
clock=$(option 'id="on".*arg-set')
h12=$(option 'id="h12".*arg-set')
h24=$(option 'id="h24".*arg-set')
hack="$saver/tarnwick $root $fps $clock $h24"
reference="$saver/tarnwick $root $clock $h12"
saver_programs "$hack" "$reference"
start_daemon "$saver/tarnwick"

# started COMMAND-LINE: waits for a hack other than the last one, whose
# command line is the one given; its pid in HACK and the saver's window it
# draws into (XSCREENSAVER_WINDOW) in WINDOW. The lake must show there, move,
# and the waterfall play.
HACK=""
started() {
  local previous="$HACK" args
  wait_for '[ -n "$(hacks | grep -vx "${previous:-0}")" ]' 30 || { tail -20 "$TEST_TMP/daemon.log"; fail "no hack started"; }
  HACK=$(hacks | grep -vx "${previous:-0}" | head -n1)
  args=$(tr '\0' ' ' <"/proc/$HACK/cmdline" | sed 's/ $//')
  [ "$args" = "$1" ] || fail "the daemon started '$args', expected '$1'"
  WINDOW=$(saver_window "$HACK")
  [ -n "$WINDOW" ] || fail "the hack was given no XSCREENSAVER_WINDOW"
  lake_moves "$WINDOW"
  note "pid $HACK draws into $WINDOW and moves ($CHANGED pixels in a new frame)"
}
ended() { hacks_ended "$1" "$HACK"; }
plays() { wait_for sink_in_use 30 || fail "$1 plays no sound"; }

note "the entry without options, for comparison"
ask -select 2
started "$reference"
cp "$TEST_TMP/saver.png" "$TEST_TMP/reference.png"
ask -deactivate
ended -deactivate

note "-activate"
ask -activate
started "$hack"
plays "the hack"
# --fps: the counter in the top right corner; --clock24 over the file's
# 12-hour form: no am or pm sign to the right of the seconds, where
# --clock12 draws one. The scenery around them is the same in both; the
# clock's digits differ as the seconds pass and are not compared. The
# counter shows once the first frames are counted: on a loaded machine the
# first pictures may come before it.
counter=0
shows_counter() {
  import -window "$WINDOW" "$TEST_TMP/options.png" 2>/dev/null || return 1
  counter=$(pixels_differ "$TEST_TMP/options.png[100x50+700+0]" "$TEST_TMP/reference.png[100x50+700+0]")
  [ "$counter" -gt 100 ]
}
wait_for shows_counter 30 || fail "$fps shows no counter ($counter pixels differ from the run without it)"
sign=$(pixels_differ "$TEST_TMP/options.png[70x50+235+0]" "$TEST_TMP/reference.png[70x50+235+0]")
note "$counter pixels differ where the counter shows, $sign where the am or pm sign shows"
[ "$sign" -gt 100 ] || fail "$h24 and $h12 look alike ($sign pixels differ where the sign shows)"
note "-deactivate"
ask -deactivate
ended -deactivate

note "a second -activate"
ask -activate
started "$hack"
plays "the hack after a second -activate"
note "-cycle"
old=$HACK
ask -cycle
started "$hack"
wait_gone "$old" 20 || fail "the hack that -cycle replaced still runs"
# The new hack starts while the old one still holds the sound; it plays
# once the old one is gone.
wait_for sink_in_use 10 || fail "the hack that -cycle started plays no sound"
note "the hack that -cycle started plays the waterfall"
ask -deactivate
ended -deactivate
echo PASS
