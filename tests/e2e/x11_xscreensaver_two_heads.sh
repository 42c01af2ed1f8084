#!/usr/bin/env bash
# The program under the real xscreensaver daemon on two monitors side by
# side: "-activate" starts one hack per head, each in the saver's window
# that covers its head; both render the lake and move, and exactly one of
# them plays the waterfall, and only one goes on playing. "-deactivate" ends
# both with nothing left behind and no sound.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_two_heads
start_pulse
saver_folder
cp -r "$TARNWICK" "$TARNWICK_DIST_DIR/models" "$TARNWICK_DIST_DIR/pictures" "$TARNWICK_DIST_DIR/sounds" "$SAVER/"
hack="$SAVER/tarnwick --root"
saver_programs "$hack"
start_daemon "$SAVER/tarnwick"

# The number of streams playing into the sink.
streams() { pactl list sink-inputs short | grep -c . || true; }
# The geometry of window $1 as WxH+X+Y.
geometry_of() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h "+" x "+" y}'
}

note "-activate: one hack per head"
ask -activate
wait_for '[ "$(hacks | wc -l)" -ge 2 ]' 30 || { tail -20 "$TEST_TMP/daemon.log"; fail "two hacks did not start: $(hacks)"; }
pids=$(hacks)
[ "$(wc -l <<<"$pids")" = 2 ] || fail "the daemon started $(wc -l <<<"$pids") hacks for two heads: $pids"
heads=""
windows=""
for pid in $pids; do
  args=$(tr '\0' ' ' <"/proc/$pid/cmdline" | sed 's/ $//')
  [ "$args" = "$hack" ] || fail "the daemon started '$args', expected '$hack'"
  window=$(saver_window "$pid")
  [ -n "$window" ] || fail "pid $pid was given no XSCREENSAVER_WINDOW"
  heads="$heads$(geometry_of "$window") "
  windows="$windows $window"
  note "pid $pid draws into $window, $(geometry_of "$window")"
done
[ "$(tr ' ' '\n' <<<"$heads" | grep . | sort | tr '\n' ' ')" = "1280x720+0+0 1280x720+1280+0 " ] ||
  fail "the saver's windows are $heads, the heads 1280x720+0+0 and 1280x720+1280+0"

note "both render the lake and move"
for window in $windows; do
  lake_moves "$window"
  note "$window moves ($CHANGED pixels in a new frame)"
  cp "$TEST_TMP/saver.png" "$TEST_TMP/frame-$window.png"
done

note "exactly one plays the waterfall, and it stays one"
wait_for sink_in_use 30 || fail "neither hack plays the waterfall"
player=$(pactl list sink-inputs | sed -n 's/.*application.process.id = "\([0-9]*\)".*/\1/p')
grep -qx "${player:-none}" <<<"$pids" || fail "the stream comes from pid '$player', not from a hack ($pids)"
# Three new frames on each head, the streams counted between them.
for round in 1 2 3; do
  for window in $windows; do
    [ "$(streams)" = 1 ] || fail "$(streams) streams play into the sink (round $round)"
    wait_for_new_frame "$window" "$TEST_TMP/frame-$window.png" 60 100 || fail "$window stopped moving"
  done
done
[ "$(streams)" = 1 ] || fail "$(streams) streams play into the sink"
note "pid $player plays the waterfall, alone"

note "-deactivate ends both"
ask -deactivate
# shellcheck disable=SC2086
hacks_ended -deactivate $pids
echo PASS
