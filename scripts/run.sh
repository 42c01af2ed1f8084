#!/usr/bin/env bash
# `make run`: the screensaver from the Linux distribution folder on the user's
# display.
#
# The program needs no set-up: without a settings file it runs with the
# default choices and the data beside it. A settings file
# (~/.config/tarnwick/tarnwick.txt, or under $XDG_CONFIG_HOME) names its own
# home directory, and that wins: when the one it names holds no scene (an
# old build folder), that one line is pointed at the distribution folder.
#
# Without a display the screensaver cannot be shown: this says so and writes
# a snapshot of the running scene instead, so the lake is always seen.
set -euo pipefail
dist="$(cd "$1" && pwd)"
cd "$dist"

settings="${XDG_CONFIG_HOME:-$HOME/.config}/tarnwick/tarnwick.txt"
if [ -f "$settings" ]; then
  home=$(sed -n '2{s/\r$//;p;q}' "$settings")
  if [ ! -f "${home%/}/models/tarnwick.umf" ]; then
    tmp="$settings.new"
    awk -v home="$dist" 'NR == 2 { print home "\r"; next } { print }' "$settings" >"$tmp"
    mv "$tmp" "$settings"
    echo "$settings named ${home:-no home directory}, which holds no scene: it now names $dist."
  fi
fi

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  echo "No display${DISPLAY:+ at $DISPLAY} (DISPLAY is not set or cannot be reached): the screensaver cannot be shown here."
  out="$dist/tarnwick-snapshot.png"
  ./snapshot "$out" 1280 720
  echo "Wrote a snapshot of the running scene instead: $out"
  exit 0
fi
echo "Running the screensaver on $DISPLAY: any key ends it."
exec ./tarnwick /s
