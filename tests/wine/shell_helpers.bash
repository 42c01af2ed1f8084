# Helpers for the shell's Wine tests (sourced after tests/lib/common.sh).

EXE="$TARNWICK_WINDOWS_DIST/Tarnwick.exe"
PROBE="$TARNWICK_WINDOWS_BIN/winprobe.exe"
MAIN_CLASS=TTarnwickScreensaverMainWindow
[ -f "$EXE" ] || fail "no $EXE"
[ -f "$PROBE" ] || fail "no $PROBE"

# A Unix path as Wine's Z: drive names it.
win_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# The settings file, six CR LF lines: home, exit on mouse, fps, time, format.
write_settings() {
  printf '%s\r\n' "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }" \
    "$1" "$2" "$3" "$4" "$5" >"$(wine_system_dir)/tarnwick.txt"
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
