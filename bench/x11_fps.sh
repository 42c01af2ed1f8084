#!/usr/bin/env bash
# Frame rate of the Linux program's full-screen run under Xvfb with Mesa's
# llvmpipe, at 1280 x 720 and 1920 x 1080, the time from the program's start
# to its first presented frame, the processor time each frame takes (all the
# program's threads, the renderer's included: on a busy machine a steadier
# figure than the frame rate), its peak resident memory and, at 1280 x 720,
# the allocations a frame makes on the main thread, the program's own apart
# from the libraries' (OpenGL, the driver, X). Prints the figures; asserts
# nothing.
#
#   bench/x11_fps.sh [SECONDS] [OTHER_DIST] [ROUNDS]
#
# SECONDS of rendering per run (default 10). With OTHER_DIST (another
# distribution folder, for instance a copy of an earlier build's
# build/dist/linux) both programs run in turns on the same X server, ROUNDS
# times each (default 3), the order swapped every round so that neither
# always runs second; each figure is the median of its rounds, and the last
# column is this build's figure over the other's. The machine's load then
# weighs on both alike.
#
# Needs the Linux build (make linux): it runs build/dist/linux/tarnwick, or
# the one in $TARNWICK_DIST_DIR.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
dist="$(cd "${TARNWICK_DIST_DIR:-$here/../build/dist/linux}" && pwd)"
seconds="${1:-10}"
other="${2:-}"
rounds="${3:-3}"
[ -x "$dist/tarnwick" ] || { echo "no $dist/tarnwick: run make linux first" >&2; exit 1; }
if [ -n "$other" ]; then
  other="$(cd "$other" && pwd)"
  [ -x "$other/tarnwick" ] || { echo "no $other/tarnwick" >&2; exit 1; }
else
  rounds=1
fi

TEST_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-bench.XXXXXX")
XVFB_PID=""
trap '[ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; rm -rf "$TEST_TMP"' EXIT
cc -O2 -shared -fPIC -o "$TEST_TMP/swap_counter.so" "$here/x11_swap_counter.c" -ldl

export ALSOFT_DRIVERS=null

# One full-screen run of the program in folder $1 (its own data beside it,
# default choices: the clock shown, no frame counter, 12-hour form). Prints
# "fps first_ms frames peak_rss_mb cpu_ms_per_frame".
run_once() {
  local folder="$1" config="$TEST_TMP/config-$RANDOM"
  mkdir -p "$config/tarnwick"
  printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n0\r\n0\r\n1\r\n12\r\n' \
    "$folder" >"$config/tarnwick/tarnwick.txt"
  rm -f "$TEST_TMP/report"
  XDG_CONFIG_HOME="$config" TARNWICK_SWAP_REPORT="$TEST_TMP/report" LD_PRELOAD="$TEST_TMP/swap_counter.so" \
    "$folder/tarnwick" /s >"$TEST_TMP/run.out" 2>&1 &
  local pid=$! peak ticks
  sleep "$seconds"
  peak=$(sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status" 2>/dev/null || true)
  # utime and stime, fields 14 and 15 (after the command's closing bracket).
  ticks=$(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null | awk '{ print $12 + $13 }' || echo 0)
  xdotool key x
  wait "$pid" || true
  rm -rf "$config"
  local frames first fps
  read -r _ frames _ first _ fps <"$TEST_TMP/report"
  echo "$fps $first $frames $(( ${peak:-0} / 1024 ))" \
    "$(awk -v t="${ticks:-0}" -v hz="$(getconf CLK_TCK)" -v n="$frames" 'BEGIN { printf "%.1f", (n > 0 ? t * 1000 / hz / n : 0) }')"
}

# The allocations a frame of the program in folder $1 makes on its main
# thread, its own code's and the libraries' under it, from a run of its own
# (counting slows the frames). Prints "ours driver".
count_allocations() {
  local folder="$1" config="$TEST_TMP/config-$RANDOM"
  mkdir -p "$config/tarnwick"
  printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n0\r\n0\r\n1\r\n12\r\n' \
    "$folder" >"$config/tarnwick/tarnwick.txt"
  rm -f "$TEST_TMP/report"
  XDG_CONFIG_HOME="$config" TARNWICK_SWAP_REPORT="$TEST_TMP/report" TARNWICK_COUNT_ALLOCATIONS=1 \
    LD_PRELOAD="$TEST_TMP/swap_counter.so" "$folder/tarnwick" /s >"$TEST_TMP/run.out" 2>&1 &
  local pid=$!
  sleep 4
  xdotool key x
  wait "$pid" || true
  rm -rf "$config"
  sed -n 's/.*ours_per_frame \([0-9.]*\) driver_per_frame \([0-9.]*\).*/\1 \2/p' "$TEST_TMP/report"
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

renderer=""
for size in 1280x720 1920x1080; do
  rm -f "$TEST_TMP/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset +extension GLX 3>"$TEST_TMP/display" 2>/dev/null &
  XVFB_PID=$!
  while [ ! -s "$TEST_TMP/display" ]; do sleep 0.1; done
  export DISPLAY=":$(head -n1 "$TEST_TMP/display")"
  if [ -z "$renderer" ]; then
    renderer=$(glxinfo -B 2>/dev/null | sed -n 's/.*OpenGL renderer string: //p' | head -n1 || true)
    echo "tarnwick full-screen run under Xvfb, ${renderer:-Mesa}, ${seconds} s per run, $(nproc) cores"
    if [ -n "$other" ]; then
      echo "this:  $dist"
      echo "other: $other   ($rounds rounds each, interleaved; medians; ratio = this / other)"
    fi
  fi
  fps_a=() first_a=() rss_a=() cpu_a=() fps_b=() first_b=() rss_b=() cpu_b=()
  for ((r = 0; r < rounds; r++)); do
    order="a b"
    [ -n "$other" ] && [ $((r % 2)) -eq 1 ] && order="b a"
    [ -z "$other" ] && order="a"
    for which in $order; do
      if [ "$which" = a ]; then
        read -r fps first frames rss cpu < <(run_once "$dist")
        fps_a+=("$fps") first_a+=("$first") rss_a+=("$rss") cpu_a+=("$cpu")
      else
        read -r fps first frames rss cpu < <(run_once "$other")
        fps_b+=("$fps") first_b+=("$first") rss_b+=("$rss") cpu_b+=("$cpu")
      fi
    done
  done
  fa=$(median "${fps_a[@]}") ta=$(median "${first_a[@]}") ma=$(median "${rss_a[@]}") ca=$(median "${cpu_a[@]}")
  if [ -z "$other" ]; then
    printf '%-10s %6s fps   %6s ms processor a frame   first frame after %5s ms   peak resident %4s MB   (%s frames)\n' \
      "$size" "$fa" "$ca" "$ta" "$ma" "$frames"
  else
    fb=$(median "${fps_b[@]}") tb=$(median "${first_b[@]}") mb=$(median "${rss_b[@]}") cb=$(median "${cpu_b[@]}")
    printf '%-10s %-22s %10s %10s %8s\n' "$size" "" this other ratio
    printf '%-10s %-22s %10s %10s %8s\n' "" "frames a second" "$fa" "$fb" "$(ratio "$fa" "$fb")"
    printf '%-10s %-22s %10s %10s %8s\n' "" "processor a frame (ms)" "$ca" "$cb" "$(ratio "$ca" "$cb")"
    printf '%-10s %-22s %10s %10s %8s\n' "" "first frame (ms)" "$ta" "$tb" "$(ratio "$ta" "$tb")"
    printf '%-10s %-22s %10s %10s %8s\n' "" "peak resident (MB)" "$ma" "$mb" "$(ratio "$ma" "$mb")"
    printf '%-10s %-22s %s | %s\n' "" "fps, each round" "${fps_a[*]}" "${fps_b[*]}"
  fi
  if [ "$size" = 1280x720 ]; then
    read -r own_a driver_a < <(count_allocations "$dist")
    if [ -z "$other" ]; then
      printf '%-10s allocations a frame on the main thread: %s by the program, %s by the libraries under it\n' \
        "" "$own_a" "$driver_a"
    else
      read -r own_b driver_b < <(count_allocations "$other")
      printf '%-10s %-22s %10s %10s\n' "" "allocations a frame:" "" ""
      printf '%-10s %-22s %10s %10s\n' "" "  by the program" "$own_a" "$own_b"
      printf '%-10s %-22s %10s %10s\n' "" "  by the libraries" "$driver_a" "$driver_b"
    fi
  fi
  kill "$XVFB_PID"; wait "$XVFB_PID" 2>/dev/null || true; XVFB_PID=""
done
