#!/usr/bin/env bash
# Frame rate of the Linux program's full-screen run on two monitors with
# Mesa's llvmpipe: the lake on the primary monitor alone (black on the other)
# against the lake on both ("Show On Every Monitor": one window over both, a
# viewport each). Two 1280 x 720 heads side by side in a Xephyr with
# Xinerama, nested in Xvfb. The two runs take turns, ROUNDS times each, the
# order swapped every round; each figure is the median of its rounds.
# Prints the figures; asserts nothing.
#
#   bench/x11_fps_heads.sh [SECONDS] [ROUNDS]
#
# Needs the Linux build (make linux): it runs build/dist/linux/tarnwick, or
# the one in $TARNWICK_DIST_DIR.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
dist="$(cd "${TARNWICK_DIST_DIR:-$here/../build/dist/linux}" && pwd)"
seconds="${1:-10}"
rounds="${2:-3}"
[ -x "$dist/tarnwick" ] || { echo "no $dist/tarnwick: run make linux first" >&2; exit 1; }

TEST_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-bench.XXXXXX")
XVFB_PID="" XEPHYR_PID=""
trap '[ -n "$XEPHYR_PID" ] && kill "$XEPHYR_PID" 2>/dev/null; [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; rm -rf "$TEST_TMP"' EXIT
cc -O2 -shared -fPIC -o "$TEST_TMP/swap_counter.so" "$here/x11_swap_counter.c" -ldl
export ALSOFT_DRIVERS=null

Xvfb -displayfd 3 -screen 0 2560x720x24 -nolisten tcp -noreset 3>"$TEST_TMP/xvfb" 2>/dev/null &
XVFB_PID=$!
while [ ! -s "$TEST_TMP/xvfb" ]; do sleep 0.1; done
export DISPLAY=":$(head -n1 "$TEST_TMP/xvfb")"
Xephyr -displayfd 4 -retro +xinerama -screen 1280x720+0+0 -screen 1280x720+1280+0 -nolisten tcp -noreset \
  4>"$TEST_TMP/xephyr" 2>/dev/null &
XEPHYR_PID=$!
while [ ! -s "$TEST_TMP/xephyr" ]; do sleep 0.1; done
export DISPLAY=":$(head -n1 "$TEST_TMP/xephyr")"

# One full-screen run with line 8 of the settings $1 (0: the primary monitor,
# 1: every monitor). Prints "fps cpu_ms_per_frame".
run_once() {
  local config="$TEST_TMP/config-$RANDOM"
  mkdir -p "$config/tarnwick"
  printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n0\r\n0\r\n1\r\n12\r\n0\r\n%s\r\n' \
    "$dist" "$1" >"$config/tarnwick/tarnwick.txt"
  rm -f "$TEST_TMP/report"
  XDG_CONFIG_HOME="$config" TARNWICK_SWAP_REPORT="$TEST_TMP/report" LD_PRELOAD="$TEST_TMP/swap_counter.so" \
    "$dist/tarnwick" /s >/dev/null 2>&1 &
  local pid=$! ticks frames fps
  sleep "$seconds"
  ticks=$(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null | awk '{ print $12 + $13 }' || echo 0)
  xdotool key x
  wait "$pid" || true
  rm -rf "$config"
  read -r _ frames _ _ _ fps <"$TEST_TMP/report"
  echo "$fps $(awk -v t="${ticks:-0}" -v hz="$(getconf CLK_TCK)" -v n="$frames" 'BEGIN { printf "%.1f", (n > 0 ? t * 1000 / hz / n : 0) }')"
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

one_fps=() one_cpu=() every_fps=() every_cpu=()
for ((r = 0; r < rounds; r++)); do
  order="0 1"
  [ $((r % 2)) -eq 1 ] && order="1 0"
  for every in $order; do
    read -r fps cpu < <(run_once "$every")
    if [ "$every" = 0 ]; then one_fps+=("$fps") one_cpu+=("$cpu"); else every_fps+=("$fps") every_cpu+=("$cpu"); fi
  done
done
echo "tarnwick full-screen run, two 1280 x 720 heads (Xephyr with Xinerama in Xvfb), llvmpipe, ${seconds} s per run, $(nproc) cores"
printf '%-28s %8s fps   %6s ms processor a frame   (fps each round: %s)\n' \
  "the lake on the primary" "$(median "${one_fps[@]}")" "$(median "${one_cpu[@]}")" "${one_fps[*]}"
printf '%-28s %8s fps   %6s ms processor a frame   (fps each round: %s)\n' \
  "the lake on both heads" "$(median "${every_fps[@]}")" "$(median "${every_cpu[@]}")" "${every_fps[*]}"
