#!/usr/bin/env bash
# `make run`: starts the screensaver from the Linux distribution folder on the
# user's display.
set -euo pipefail
dist="$1"
cd "$dist"
if [ -z "${DISPLAY:-}" ]; then
  echo "No display (DISPLAY is not set): cannot show the screensaver here." >&2
  exit 1
fi
exec ./tarnwick /s
