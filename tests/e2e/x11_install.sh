#!/usr/bin/env bash
# "/i" then "/u" in a scratch home: "/i" installs the program and its
# settings into ~/.config/tarnwick and adds the hack to the xscreensaver
# list, through the link a dotfiles repository makes of ~/.xscreensaver;
# "/u" Cancel changes nothing; "/u" OK leaves the home as it was. Then the
# same from an installed package (a tree laid out as the .deb's): "/i" copies
# nothing and makes ~/.xscreensaver with the packaged program's line, "/u"
# removes it and the settings and says the package stays.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

start_xvfb 1024x768
unset XDG_CONFIG_HOME
export HOME="$TEST_TMP/home"
mkdir -p "$HOME/.config" "$HOME/Desktop" "$HOME/dotfiles"
echo "a user's note" >"$HOME/Desktop/note.txt"
printf '%s\n' '# XScreenSaver Preferences File' 'timeout:	0:10:00' \
  'programs:								      \' \
  '				maze -root				    \n\' \
  '  GL: 				gears -root				    \n\' '' 'pointerHysteresis:	10' >"$HOME/dotfiles/xscreensaver"
chmod 600 "$HOME/dotfiles/xscreensaver"
ln -s dotfiles/xscreensaver "$HOME/.xscreensaver"
state() { (cd "$HOME" && find . -printf '%p %y %s\n' | sort && find . -type f -exec md5sum {} + | sort); }
state >"$TEST_TMP/before"

note "/i"
(cd "$TARNWICK_DIST_DIR" && "$TARNWICK" /i) >"$TEST_TMP/install.out" 2>&1 || fail "/i: $(cat "$TEST_TMP/install.out")"
dir="$HOME/.config/tarnwick"
cmp -s "$TARNWICK" "$dir/tarnwick" || fail "/i did not copy the program to $dir"
[ "$(sed -n 2p "$dir/tarnwick.txt" | tr -d '\r')" = "$TARNWICK_DIST_DIR" ] || fail "the settings do not name the distribution folder"
[ "$(wc -l <"$dir/tarnwick.txt")" = 8 ] || fail "the settings file is not eight lines"
grep -q "GL: .*$dir/tarnwick -root" "$HOME/.xscreensaver" || fail "the hack is not in ~/.xscreensaver"
[ "$(diff "$HOME/.xscreensaver" <(sed '/tarnwick -root/d' "$HOME/.xscreensaver") | grep -c '^<')" = 1 ] ||
  fail "/i changed more than one line of ~/.xscreensaver"
[ -L "$HOME/.xscreensaver" ] || fail "/i replaced the link ~/.xscreensaver with a file"
[ "$(stat -c %a "$HOME/dotfiles/xscreensaver")" = 600 ] || fail "/i changed the permissions of ~/.xscreensaver"

# answer TITLE KEY: presses KEY in the message box called TITLE.
answer() {
  local box
  box=$(window_named "$1" 20) || fail "no \"$1\" box"
  xdotool windowfocus --sync "$box" key "$2"
  wait_for "! xwininfo -id $box | grep -q IsViewable" 10 || fail "\"$1\" stays after $2"
}

note "/u, Cancel"
(cd "$TARNWICK_DIST_DIR" && "$TARNWICK" /u) >"$TEST_TMP/u.out" 2>&1 &
pid=$!
answer Uninstall Escape
wait_exit "$pid" 5
[ "$EXIT_CODE" = 0 ] || fail "/u Cancel: exit code $EXIT_CODE"
[ -f "$dir/tarnwick" ] && [ -f "$dir/tarnwick.txt" ] || fail "/u Cancel removed files"

note "/u, OK"
(cd "$TARNWICK_DIST_DIR" && "$TARNWICK" /u) >"$TEST_TMP/u.out" 2>&1 &
pid=$!
answer Uninstall Return # the question
answer Uninstall Return # the success message
wait_exit "$pid" 5
[ "$EXIT_CODE" = 0 ] || fail "/u: exit code $EXIT_CODE $(cat "$TEST_TMP/u.out")"
state >"$TEST_TMP/after"
diff "$TEST_TMP/before" "$TEST_TMP/after" || fail "the home is not as it was before /i"

note "/i from an installed package, without ~/.xscreensaver"
pkg="$TEST_TMP/pkg/usr"
mkdir -p "$pkg/libexec/xscreensaver" "$pkg/bin" "$pkg/share"
cp "$TARNWICK" "$pkg/libexec/xscreensaver/tarnwick"
ln -s ../libexec/xscreensaver/tarnwick "$pkg/bin/tarnwick"
ln -s "$TARNWICK_DIST_DIR" "$pkg/share/tarnwick"
rm "$HOME/.xscreensaver"
hack="$pkg/libexec/xscreensaver/tarnwick"
(cd "$HOME" && "$pkg/bin/tarnwick" /i) >"$TEST_TMP/pi.out" 2>&1 || fail "packaged /i: $(cat "$TEST_TMP/pi.out")"
cat "$TEST_TMP/pi.out"
grep -q "^programs:" "$HOME/.xscreensaver" && grep -q "GL: .*$hack -root" "$HOME/.xscreensaver" ||
  fail "packaged /i did not add $hack to a programs list: $(cat "$HOME/.xscreensaver" 2>&1)"
[ ! -e "$dir/tarnwick" ] || fail "packaged /i copied the program"
grep -q "Nothing was copied" "$TEST_TMP/pi.out" || fail "packaged /i does not say what it did"
SETTINGS="$dir/tarnwick.txt"
write_settings 1 0 1 24

note "/u from an installed package"
(cd "$HOME" && "$pkg/bin/tarnwick" /u) >"$TEST_TMP/pu.out" 2>&1 &
pid=$!
answer Uninstall Return # the question
answer Uninstall Return # the report
wait_exit "$pid" 5
[ "$EXIT_CODE" = 0 ] || fail "packaged /u: exit code $EXIT_CODE $(cat "$TEST_TMP/pu.out")"
! grep -q "tarnwick -root" "$HOME/.xscreensaver" || fail "packaged /u left the hack's line"
[ ! -e "$SETTINGS" ] || fail "packaged /u left the settings file"
grep -q "package itself is still installed" "$TEST_TMP/pu.out" && ! grep -q "removed from your hard drive" "$TEST_TMP/pu.out" ||
  fail "packaged /u does not say that the package stays: $(cat "$TEST_TMP/pu.out")"
[ -x "$hack" ] || fail "packaged /u removed the packaged program"
echo PASS
