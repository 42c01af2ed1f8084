# Helpers for the shell's Wine tests (sourced after tests/lib/common.sh).

EXE="$TARNWICK_WINDOWS_DIST/Tarnwick.exe"
PROBE="$TARNWICK_WINDOWS_BIN/winprobe.exe"
MAIN_CLASS=TTarnwickScreensaverMainWindow
[ -f "$EXE" ] || fail "no $EXE"
[ -f "$PROBE" ] || fail "no $PROBE"

# A Unix path as Wine's Z: drive names it.
win_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# The settings file, CR LF lines: home, exit on mouse, fps, time, format
# (six lines), and play sound and every monitor when given (eight).
write_settings() {
  printf '%s\r\n' "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }" \
    "$@" >"$(wine_system_dir)/tarnwick.txt"
}

# The user's own settings file, %APPDATA%\Tarnwick\tarnwick.txt, as a Unix path.
wine_user_settings() {
  local appdata
  appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
  printf '%s/Tarnwick/tarnwick.txt' "$(winepath -u "$appdata" 2>/dev/null)"
}

# The harness's output without the CR its runtime puts before each line end,
# line by line (a report a test waits for must not sit in a buffer).
probe() { wine "$PROBE" "$@" | stdbuf -oL tr -d '\r'; }

# Fails unless the file has a line matching the extended regular expression.
expect_line() {
  grep -Eq -- "$2" "$1" || { cat "$1"; fail "no line matching /$2/ in $(basename "$1")"; }
}

# Waits for a background process of this shell; its exit code goes to STATUS.
wait_exit() {
  STATUS=0
  wait "$1" || STATUS=$?
}

# True when the harness's report matches the extended regular expression.
# (The report is read whole: a grep that stops early would break the pipe.)
probe_matches() {
  local pattern="$1" out
  shift
  out=$(probe "$@") || true
  grep -Eq -- "$pattern" <<<"$out"
}

# Two monitors side by side for Wine: a Xephyr whose two 1280 x 720 screens
# are one Xinerama screen of 2560 x 720, nested in a private Xvfb, with the
# root's grey weave showing wherever no window covers it. Wine asks RandR
# first, and Xephyr's RandR describes only the first screen (one monitor);
# without RandR Wine reads the two Xinerama heads as two monitors. DISPLAY
# becomes the Xephyr's; its pid is XEPHYR_PID.
start_two_heads() {
  start_xvfb 2560x720
  Xephyr -displayfd 4 -retro +xinerama -extension RANDR -screen 1280x720+0+0 -screen 1280x720+1280+0 -nolisten tcp -noreset \
    4>"$TEST_TMP/xephyr.fd" 2>"$TEST_TMP/xephyr.log" &
  XEPHYR_PID=$!
  on_exit 'kill "$XEPHYR_PID"'
  wait_for "[ -s '$TEST_TMP/xephyr.fd' ]" 20 || fail "Xephyr did not start: $(cat "$TEST_TMP/xephyr.log")"
  export DISPLAY=":$(head -n1 "$TEST_TMP/xephyr.fd")"
}
