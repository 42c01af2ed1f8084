#!/usr/bin/env bash
# Frame rate of the Linux program's full-screen run under Xvfb with Mesa's
# llvmpipe, at 1280 x 720 and 1920 x 1080, and the time from the program's
# start to its first presented frame. Prints the figures; asserts nothing.
#
#   bench/x11_fps.sh [SECONDS]      (default 10 seconds of rendering per size)
#
# Needs the Linux build (make linux): it runs build/dist/linux/tarnwick, or
# the one in $TARNWICK_DIST_DIR.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
dist="${TARNWICK_DIST_DIR:-$here/../build/dist/linux}"
seconds="${1:-10}"
[ -x "$dist/tarnwick" ] || { echo "no $dist/tarnwick: run make linux first" >&2; exit 1; }

TEST_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-bench.XXXXXX")
XVFB_PID=""
trap '[ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; rm -rf "$TEST_TMP"' EXIT
cc -O2 -shared -fPIC -o "$TEST_TMP/swap_counter.so" "$here/x11_swap_counter.c" -ldl

export XDG_CONFIG_HOME="$TEST_TMP/config" ALSOFT_DRIVERS=null
mkdir -p "$XDG_CONFIG_HOME/tarnwick"
# Default choices: the clock shown, no frame counter, 12-hour form.
printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n0\r\n0\r\n1\r\n12\r\n' \
  "$dist" >"$XDG_CONFIG_HOME/tarnwick/tarnwick.txt"

renderer=""
for size in 1280x720 1920x1080; do
  rm -f "$TEST_TMP/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset +extension GLX 3>"$TEST_TMP/display" 2>/dev/null &
  XVFB_PID=$!
  while [ ! -s "$TEST_TMP/display" ]; do sleep 0.1; done
  export DISPLAY=":$(head -n1 "$TEST_TMP/display")"
  if [ -z "$renderer" ]; then
    renderer=$(glxinfo -B 2>/dev/null | sed -n 's/.*OpenGL renderer string: //p' | head -n1 || true)
    echo "tarnwick full-screen run under Xvfb, ${renderer:-Mesa}, ${seconds} s per size, $(nproc) cores"
  fi
  TARNWICK_SWAP_REPORT="$TEST_TMP/report" LD_PRELOAD="$TEST_TMP/swap_counter.so" "$dist/tarnwick" /s \
    >"$TEST_TMP/run.out" 2>&1 &
  pid=$!
  sleep "$seconds"
  xdotool key x
  wait "$pid" || true
  read -r _ frames _ first _ fps <"$TEST_TMP/report"
  printf '%-10s %6s fps   first frame after %5s ms   (%s frames)\n' "$size" "$fps" "$first" "$frames"
  kill "$XVFB_PID"; wait "$XVFB_PID" 2>/dev/null || true; XVFB_PID=""
done
