# Shared helpers for the script tests. Source it; it sets `set -euo pipefail`.
set -euo pipefail

# A scratch folder removed when the test ends.
TEST_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-test.XXXXXX")
XVFB_PID=""
cleanup_hooks=()
on_exit() { cleanup_hooks+=("$1"); }
run_cleanup() {
  local i
  for ((i = ${#cleanup_hooks[@]} - 1; i >= 0; i--)); do eval "${cleanup_hooks[$i]}" || true; done
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$TEST_TMP"
}
trap run_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

# Starts a private Xvfb of the given size (default 1280x720) and exports DISPLAY.
start_xvfb() {
  local size="${1:-1280x720}"
  local fifo="$TEST_TMP/displayfd"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset +extension GLX 3>"$fifo.out" 2>"$TEST_TMP/xvfb.log" &
  XVFB_PID=$!
  local n=0
  while [ ! -s "$fifo.out" ]; do
    sleep 0.1; n=$((n + 1))
    [ $n -lt 100 ] || fail "Xvfb did not start: $(cat "$TEST_TMP/xvfb.log")"
  done
  export DISPLAY=":$(head -n1 "$fifo.out")"
}

# Waits up to $2 seconds (default 10) for a command to succeed.
wait_for() {
  local cmd="$1" limit="${2:-10}" n=0
  while ! eval "$cmd" >/dev/null 2>&1; do
    sleep 0.1; n=$((n + 1))
    [ $n -lt $((limit * 10)) ] || return 1
  done
}

# A copy of the suite's initialised Wine prefix in this test's scratch folder,
# exported as WINEPREFIX; the test's wineserver is ended on exit.
use_wine_prefix() {
  local template="$TARNWICK_BUILD_DIR/wine-template"
  [ -d "$template" ] || fail "no Wine prefix at $template (the wine_prefix fixture makes it)"
  export WINEPREFIX="$TEST_TMP/wine"
  cp -a "$template" "$WINEPREFIX"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=;mshtml="
  on_exit 'WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null; WINEPREFIX="$WINEPREFIX" wineserver -w 2>/dev/null'
}

# The Windows system directory of the current prefix.
wine_system_dir() { echo "$WINEPREFIX/drive_c/windows/system32"; }
