#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screensaver need.
# Idempotent: does nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libgl-dev libglu1-mesa-dev libosmesa6-dev libgl1-mesa-dri mesa-utils
  libx11-dev libxext-dev libxtst-dev libxinerama-dev libgtk-3-dev libopenal-dev libopenal1 libpng-dev
  ninja-build mingw-w64 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xserver-xephyr xdotool x11-utils xauth imagemagick sox
  dpkg-dev lintian zip unzip nsis
  xscreensaver openbox pulseaudio pulseaudio-utils scrot x11-xserver-utils procps
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
