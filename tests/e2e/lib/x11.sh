# Helpers of the script tests that drive the Linux program `tarnwick` under
# Xvfb. Source after tests/lib/common.sh.

TARNWICK="$TARNWICK_DIST_DIR/tarnwick"
[ -x "$TARNWICK" ] || fail "no $TARNWICK"
# The settings live in a scratch XDG_CONFIG_HOME; sound goes nowhere.
export XDG_CONFIG_HOME="$TEST_TMP/config"
export ALSOFT_DRIVERS=null
SETTINGS="$XDG_CONFIG_HOME/tarnwick/tarnwick.txt"

# write_settings MOUSE FPS TIME FORMAT [HOME]: the six lines, home by default
# the distribution folder.
write_settings() {
  mkdir -p "$(dirname "$SETTINGS")"
  printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n' \
    "${5:-$TARNWICK_DIST_DIR}" "$1" "$2" "$3" "$4" >"$SETTINGS"
}

# The id of the first window whose title is exactly $1 (waits up to $2 s).
window_named() {
  local id="" n=0 limit=$((${2:-20} * 10))
  while [ -z "$id" ]; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && break
    sleep 0.1; n=$((n + 1))
    [ $n -lt $limit ] || return 1
  done
  echo "$id"
}

# The mean brightness (0..1) of a screenshot region: shot FILE [GEOMETRY].
mean_of() { convert "$1" ${2:+-crop "$2"} -format '%[fx:mean]' info:; }

# Waits until the screen shows more than darkness (the lake), up to $1 s.
wait_for_lake() {
  local n=0 limit=$((${1:-30} * 2))
  while :; do
    import -window root "$TEST_TMP/lake.png" 2>/dev/null && greater "$(mean_of "$TEST_TMP/lake.png")" 0.1 && return 0
    sleep 0.5; n=$((n + 1))
    [ $n -lt $limit ] || return 1
  done
}

# Still running after $2 s? running PID SECONDS
still_running() { sleep "$2"; kill -0 "$1" 2>/dev/null; }

# Waits up to $2 s for PID $1 (a child of this shell) to end; its exit code
# in EXIT_CODE ("timeout" if it did not end).
wait_exit() {
  local n=0 limit=$((${2:-10} * 10))
  EXIT_CODE=timeout
  while [ -n "$(ps -o stat= -p "$1" 2>/dev/null | grep -v Z)" ]; do
    sleep 0.1; n=$((n + 1))
    [ $n -lt $limit ] || return 0
  done
  EXIT_CODE=0
  wait "$1" || EXIT_CODE=$?
}

# A plain X window of the given geometry that the test owns, standing in for
# xscreensaver's window or the control panel's preview: its id in TARGET,
# its client's pid in TARGET_PID. (xev's small inner window sits at 10,10.)
make_target_window() {
  xev -name "Tarnwick Test Target" -geometry "$1" -event structure >/dev/null 2>&1 &
  TARGET_PID=$!
  TARGET=$(window_named "Tarnwick Test Target" 10) || fail "the test's window did not appear"
}
