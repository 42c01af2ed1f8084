#!/usr/bin/env bash
# The program under the real xscreensaver daemon (6.x), which refuses to
# start hacks as root: the daemon runs as "nobody" with a scratch home whose
# ~/.xscreensaver names the hack, mode one. "-activate" starts it: the lake
# shows in the saver's window and moves, the waterfall plays, and the
# options of xscreensaver/tarnwick.xml take effect as the daemon passes them
# (with two dashes). "-deactivate" ends it promptly with nothing left
# behind; a second "-activate" and "-cycle" start it cleanly again.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"
id nobody >/dev/null 2>&1 || fail "no user 'nobody' to run the daemon as"

start_xvfb 800x600
start_pulse
# The daemon's user reaches into this folder only where it is told to.
chmod 711 "$TEST_TMP"
saver="$TEST_TMP/saver"
home="$saver/home"
mkdir -p "$saver" "$home/.config/tarnwick"
cp -r "$TARNWICK" "$TARNWICK_DIST_DIR/models" "$TARNWICK_DIST_DIR/pictures" "$TARNWICK_DIST_DIR/sounds" "$saver/"
printf '[general]\nperiod_size = 4096\nperiods = 4\n' >"$saver/alsoft.conf"
# No FPS, no clock, 12-hour form: the daemon's options must show otherwise.
printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n0\r\n0\r\n0\r\n12\r\n' \
  "$saver" >"$home/.config/tarnwick/tarnwick.txt"
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
cat >"$home/.xscreensaver" <<EOT
timeout:	8:00:00
cycle:		0:00:00
lock:		False
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
grabDesktopImages:	False
mode:		one
selected:	0
programs:						\\
  GL: 	$hack				\\n\\
  GL: 	$reference			\\n\\

EOT
chmod -R a+rX "$saver"
chown -R nobody:nogroup "$home"
setpriv --reuid=nobody --regid=nogroup --clear-groups test -x "$saver/tarnwick" ||
  fail "the user nobody cannot reach $saver: TMPDIR must lie where every user may pass"

env -C "$saver" -i DISPLAY="$DISPLAY" HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 PULSE_SERVER="$PULSE_SERVER" \
  ALSOFT_DRIVERS=pulse ALSOFT_CONF="$saver/alsoft.conf" \
  setpriv --reuid=nobody --regid=nogroup --clear-groups xscreensaver -no-splash -verbose >"$TEST_TMP/daemon.log" 2>&1 &
DAEMON_PID=$!
# The daemon ends its own children; whatever outlives it is ended by its pid.
stop_daemon() {
  local left
  left=$(descendants "$DAEMON_PID")
  kill "$DAEMON_PID" 2>/dev/null
  wait "$DAEMON_PID" 2>/dev/null
  for pid in $left; do
    alive "$pid" && kill "$pid" 2>/dev/null && wait_gone "$pid" 10
  done
}
on_exit stop_daemon
wait_for "xscreensaver-command -version" 30 || { cat "$TEST_TMP/daemon.log"; fail "the daemon did not start"; }
ask() { xscreensaver-command "$@" >>"$TEST_TMP/command.log" 2>&1 || fail "xscreensaver-command $* failed"; }

# The live processes of our hack (xscreensaver starts it through no shell).
hacks() {
  local pid
  for pid in $(descendants "$DAEMON_PID"); do
    alive "$pid" && [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$saver/tarnwick" ] && echo "$pid"
  done
  return 0
}
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
  WINDOW=$(tr '\0' '\n' <"/proc/$HACK/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
  [ -n "$WINDOW" ] || fail "the hack was given no XSCREENSAVER_WINDOW"
  wait_for_lake 40 "$WINDOW" || { tail -20 "$TEST_TMP/daemon.log"; fail "the lake never appeared in the saver's window"; }
  wait_for_new_frame "$WINDOW" "$TEST_TMP/lake.png" 60 100 || fail "the lake in the saver's window does not move"
  cp "$TEST_TMP/lake.png" "$TEST_TMP/saver.png"
  note "pid $HACK draws into $WINDOW and moves ($CHANGED pixels in a new frame)"
}
# ended: the last hack ends soon after the daemon's SIGTERM and leaves no
# process and no sound behind.
ended() {
  # On an idle machine well within a second (printed); the limit is wide so
  # that a loaded one, where the daemon's niced hack waits for the processor,
  # does not fail the test.
  wait_gone "$HACK" 20 || fail "pid $HACK still runs 20 s after $1"
  note "pid $HACK ended $GONE_MS ms after $1"
  [ -z "$(hacks)" ] || fail "hack processes are left after $1: $(hacks)"
  pgrep -f "^$saver/tarnwick" >/dev/null && fail "a hack left the daemon and still runs"
  wait_for '! sink_in_use' 10 || fail "the sound goes on after $1"
}
plays() { wait_for sink_in_use 30 || fail "$1 plays no sound"; }

note "-activate"
ask -activate
started "$hack"
plays "the hack"
cp "$TEST_TMP/saver.png" "$TEST_TMP/options.png"
note "-deactivate"
ask -deactivate
ended -deactivate

note "the other entry, for comparison"
ask -select 2
started "$reference"
cp "$TEST_TMP/saver.png" "$TEST_TMP/reference.png"
ask -deactivate
ended -deactivate
# --fps: the counter in the top right corner; --clock24 over the file's
# 12-hour form: no am or pm sign to the right of the seconds, where
# --clock12 draws one. The scenery around them is the same in both; the
# clock's digits differ as the seconds pass and are not compared.
counter=$(pixels_differ "$TEST_TMP/options.png[100x50+700+0]" "$TEST_TMP/reference.png[100x50+700+0]")
sign=$(pixels_differ "$TEST_TMP/options.png[70x50+235+0]" "$TEST_TMP/reference.png[70x50+235+0]")
note "$counter pixels differ where the counter shows, $sign where the am or pm sign shows"
[ "$counter" -gt 100 ] || fail "$fps shows no counter ($counter pixels differ from the run without it)"
[ "$sign" -gt 100 ] || fail "$h24 and $h12 look alike ($sign pixels differ where the sign shows)"

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
