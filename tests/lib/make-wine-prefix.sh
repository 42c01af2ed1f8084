#!/usr/bin/env bash
# Initialises one Wine prefix for the suite run; each Wine test copies it.
source "$(dirname "$0")/common.sh"
template="$TARNWICK_BUILD_DIR/wine-template"
rm -rf "$template"
start_xvfb 640x480
export WINEPREFIX="$template" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
on_exit 'WINEPREFIX="$template" wineserver -w 2>/dev/null'
wineboot -i >/dev/null 2>&1 || fail "wineboot -i failed"
WINEPREFIX="$template" wineserver -w
[ -d "$template/drive_c/windows/system32" ] || fail "prefix has no system directory"
# Windows draws dialogs in Tahoma, its message font. Wine's own Tahoma
# (Debian's fonts-wine) goes where Windows keeps its fonts: Wine does not
# load it from its data folder here, and would fall back on a wider font.
for font in tahoma.ttf tahomabd.ttf; do
  cp /usr/share/wine/fonts/$font "$template/drive_c/windows/Fonts/" || fail "no Wine Tahoma: install fonts-wine"
done
echo "Wine prefix ready: $template"
