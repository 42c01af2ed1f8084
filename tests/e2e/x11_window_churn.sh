#!/usr/bin/env bash
# Windows that come and go while the program starts (tooltips, menus) do not
# end it: three starts in a row, each while another client creates and
# destroys top-level windows as fast as it can and, the moment the program
# lists the windows, destroys every one of its own, so that the search for an
# earlier instance always meets windows that vanished after it listed them.
# Each start reaches its full-screen window and ends on a key with exit code 0.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"
[ -x "$X11TEST" ] || fail "no $X11TEST"

start_xvfb 1280x720
write_settings 0 0 1 12
CHURN_PID=""
on_exit '[ -n "$CHURN_PID" ] && kill "$CHURN_PID" 2>/dev/null'

for start in 1 2 3; do
  note "start $start among vanishing windows"
  "$X11TEST" churn "Tarnwick 3D Screensaver" >"$TEST_TMP/churn.out" 2>&1 &
  CHURN_PID=$!
  wait_line "$TEST_TMP/churn.out" churning 30 || fail "the churning client did not start"
  "$TARNWICK" /s >"$TEST_TMP/run.out" 2>&1 &
  RUN_PID=$!
  # The churner stops once the full-screen window maps; the program may end first.
  wait_for "grep -qx seen '$TEST_TMP/churn.out' || ! alive $RUN_PID" 90 ||
    fail "start $start: neither the full-screen window nor the program's end within 90 s"
  if ! alive "$RUN_PID"; then
    wait "$RUN_PID" || true
    cat "$TEST_TMP/run.out" >&2
    fail "start $start: the program ended during start-up"
  fi
  wait_exit "$CHURN_PID" 10
  CHURN_PID=""
  window_named "Tarnwick 3D Screensaver" >/dev/null || fail "start $start: no full-screen window"
  xdotool key x
  wait_exit "$RUN_PID" 10
  [ "$EXIT_CODE" = 0 ] || { cat "$TEST_TMP/run.out" >&2; fail "start $start: a key: exit code $EXIT_CODE, expected 0"; }
done
echo PASS
