#!/usr/bin/env bash
# Where the start-up of the Linux program's full-screen run goes, under Xvfb
# with Mesa's llvmpipe at 1280 x 720: milliseconds from the process's start
# to each stage (see x11_startup_probe.c), the median of RUNS runs. With
# OTHER_DIST the two programs run in turns and both are printed. Prints
# figures; asserts nothing.
#
#   bench/x11_startup.sh [RUNS] [OTHER_DIST]      (default 5 runs)
#
# Runs build/dist/linux/tarnwick, or the one in $TARNWICK_DIST_DIR.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
dist="$(cd "${TARNWICK_DIST_DIR:-$here/../build/dist/linux}" && pwd)"
runs="${1:-5}"
other="${2:-}"
[ -x "$dist/tarnwick" ] || { echo "no $dist/tarnwick: run make linux first" >&2; exit 1; }
[ -z "$other" ] || other="$(cd "$other" && pwd)"

TEST_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-startup.XXXXXX")
XVFB_PID=""
trap '[ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; rm -rf "$TEST_TMP"' EXIT
cc -O2 -shared -fPIC -o "$TEST_TMP/probe.so" "$here/x11_startup_probe.c" -ldl
export ALSOFT_DRIVERS=null
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset +extension GLX 3>"$TEST_TMP/display" 2>/dev/null &
XVFB_PID=$!
while [ ! -s "$TEST_TMP/display" ]; do sleep 0.1; done
export DISPLAY=":$(head -n1 "$TEST_TMP/display")"

# One run of the program in folder $1; appends its stages to file $2.
run_once() {
  local folder="$1" config="$TEST_TMP/config"
  rm -rf "$config" "$TEST_TMP/report"
  mkdir -p "$config/tarnwick"
  printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n0\r\n0\r\n1\r\n12\r\n' \
    "$folder" >"$config/tarnwick/tarnwick.txt"
  XDG_CONFIG_HOME="$config" TARNWICK_STARTUP_REPORT="$TEST_TMP/report" LD_PRELOAD="$TEST_TMP/probe.so" \
    "$folder/tarnwick" /s >/dev/null 2>&1 &
  local pid=$! waited=0
  # The first frame is presented within a few seconds; give it 30.
  sleep 2
  while ! xwininfo -root -children 2>/dev/null | grep -q '"' && [ $waited -lt 280 ]; do sleep 0.1; waited=$((waited + 1)); done
  sleep 1
  xdotool key x
  wait "$pid" || true
  cat "$TEST_TMP/report" >>"$2"
}

: >"$TEST_TMP/a"; : >"$TEST_TMP/b"
for ((r = 0; r < runs; r++)); do
  run_once "$dist" "$TEST_TMP/a"
  [ -z "$other" ] || run_once "$other" "$TEST_TMP/b"
done

# The median of column $2 of file $1.
column_median() { cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
summary() {
  local m=()
  for i in 1 2 3 4 5 6 7; do m[$i]=$(column_median "$1" "$i"); done
  printf '  context made          %7.0f ms\n' "${m[1]}"
  printf '  first texture upload  %7.0f ms\n' "${m[2]}"
  printf '  last texture upload   %7.0f ms   (%d uploads, %.0f ms of it in gluBuild2DMipmaps)\n' "${m[5]}" "${m[4]}" "${m[3]}"
  printf '  first frame begun     %7.0f ms\n' "${m[6]}"
  printf '  first frame presented %7.0f ms\n' "${m[7]}"
}
echo "start-up of the full-screen run, 1280 x 720, medians of $runs runs (ms from the process's start)"
echo "$dist:"; summary "$TEST_TMP/a"
if [ -n "$other" ]; then echo "$other:"; summary "$TEST_TMP/b"; fi
