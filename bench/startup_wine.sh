#!/usr/bin/env bash
# Start-up time of Tarnwick.exe under Wine: milliseconds from the start of
# the process to the first rendered frame of "/s" on the screen (Xvfb,
# 1024x768, Mesa's software renderer), the median of several runs after one
# warm-up run. It prints figures; it is not a test and asserts nothing.
#
#   bench/startup_wine.sh [BUILD_FOLDER] [RUNS]    (defaults: build, 7)
#
# Needs `make BUILD=BUILD_FOLDER windows` first (the program, its data and
# the winprobe harness).
build="$(cd "${1:-build}" && pwd)"
runs="${2:-7}"
export TARNWICK_BUILD_DIR="$build/linux"
export TARNWICK_WINDOWS_DIST="$build/dist/windows"
export TARNWICK_WINDOWS_BIN="$build/windows/bin"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../tests/lib/common.sh"
[ -f "$TARNWICK_WINDOWS_DIST/models/tarnwick.umf" ] || fail "no scene data in $TARNWICK_WINDOWS_DIST"
[ -d "$TARNWICK_BUILD_DIR/wine-template" ] || "$here/../tests/lib/make-wine-prefix.sh" >/dev/null
start_xvfb 1024x768
use_wine_prefix
source "$here/../tests/wine/shell_helpers.bash"
write_settings "$(win_path "$TARNWICK_WINDOWS_DIST")" 0 0 1 12

probe firstframe 60000 "$EXE" /s >/dev/null || fail "no frame in the warm-up run"
times=()
for ((i = 1; i <= runs; i++)); do
  t=$(probe firstframe 60000 "$EXE" /s | sed -n 's/^first-frame-ms=//p')
  [ -n "$t" ] && [ "$t" -ge 0 ] || fail "run $i showed no frame"
  times+=("$t")
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start-up to first frame of /s under Wine, $runs runs (ms): ${times[*]}"
echo "median: ${sorted[$((runs / 2))]} ms, fastest: ${sorted[0]} ms, slowest: ${sorted[$((runs - 1))]} ms"
