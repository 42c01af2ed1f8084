#!/usr/bin/env bash
# `make run`: the screensaver from the Linux distribution folder on the user's
# display.
#
# The program reads its settings file ~/.config/tarnwick/tarnwick.txt (or
# under $XDG_CONFIG_HOME). When there is none, this writes one with the
# default choices and the distribution folder as home directory (nothing
# else is installed: see `tarnwick /i` for that). When the home directory it
# names holds no scene, that one line is pointed at the distribution folder.
#
# Without a display the screensaver cannot be shown: this says so and writes
# a snapshot of the running scene instead, so the lake is always seen.
set -euo pipefail
dist="$(cd "$1" && pwd)"
cd "$dist"

config="${XDG_CONFIG_HOME:-$HOME/.config}/tarnwick"
settings="$config/tarnwick.txt"
comment='Configuration File { home dir, exit on mouse, fps, time, time (12,24) }'
if [ ! -f "$settings" ]; then
  mkdir -p "$config"
  printf '%s\r\n%s\r\n0\r\n0\r\n1\r\n12\r\n' "$comment" "$dist" >"$settings"
  echo "Wrote $settings (default choices, home directory $dist)."
else
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
