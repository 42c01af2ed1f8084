#!/usr/bin/env bash
# "/i" and "/u" away from a desktop (no display), on ~/.xscreensaver files as
# xscreensaver and users leave them: each run changes only our entry, keeps
# every other byte and every other file, and says what it did. "/u" asks on a
# terminal, takes --yes, and otherwise refuses with a failing exit code.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/lib/x11.sh"

unset DISPLAY XDG_CONFIG_HOME
export HOME="$TEST_TMP/home"
mkdir -p "$HOME"
dir="$HOME/.config/tarnwick"
dot="$HOME/.xscreensaver"
problems=0
problem() { echo "PROBLEM: $*" >&2; problems=$((problems + 1)); }

# A package's tree: the program in libexec, its data in share/tarnwick.
pkg="$TEST_TMP/pkg/usr"
mkdir -p "$pkg/libexec/xscreensaver" "$pkg/share"
cp "$TARNWICK" "$pkg/libexec/xscreensaver/tarnwick"
ln -s "$TARNWICK_DIST_DIR" "$pkg/share/tarnwick"
hack="$pkg/libexec/xscreensaver/tarnwick"

# run NAME ARGS...: the packaged program, stdin not a terminal; output in $TEST_TMP/NAME.out.
run() {
  local name=$1
  shift
  set +e
  (cd "$HOME" && "$hack" "$@") </dev/null >"$TEST_TMP/$name.out" 2>&1
  CODE=$?
  set -e
}
said() { grep -qi -- "$2" "$TEST_TMP/$1.out"; }

others='programs:								      \
				maze -root				    \n\
- GL: 				pipes -root				    \n\
  GL: 				gears -root				    \n\
'
printf '%s\n%s\n%s\n' '# XScreenSaver Preferences File' 'timeout:	0:10:00' "$others" >"$dot"
echo "a file of the user's" >"$dot.new"
cp "$dot" "$TEST_TMP/original"

note "/i adds the entry once, and says so"
run i1 /i
[ "$CODE" = 0 ] || problem "/i: exit code $CODE: $(cat "$TEST_TMP/i1.out")"
said i1 "^Added" || problem "/i does not say it added the entry: $(cat "$TEST_TMP/i1.out")"
grep -q "GL: .*$hack -root" "$dot" || problem "/i did not add $hack"
[ "$(cat "$dot.new")" = "a file of the user's" ] || problem "/i destroyed ~/.xscreensaver.new"
cp "$dot" "$TEST_TMP/added"
run i2 /i
[ "$CODE" = 0 ] || problem "second /i: exit code $CODE"
said i2 "^Added" && problem "a second /i says it added the entry: $(cat "$TEST_TMP/i2.out")"
said i2 "already" || problem "a second /i does not say the entry was there: $(cat "$TEST_TMP/i2.out")"
cmp -s "$dot" "$TEST_TMP/added" || problem "a second /i changed ~/.xscreensaver"

note "/u with no display and no terminal refuses"
run u0 /u
[ "$CODE" != 0 ] || problem "/u without a display or terminal exits 0"
said u0 "--yes" || problem "/u without a display does not say how to go on: $(cat "$TEST_TMP/u0.out")"
cmp -s "$dot" "$TEST_TMP/added" || problem "/u without an answer changed ~/.xscreensaver"

note "/u on a terminal asks"
printf 'n\n' | script -qec "cd '$HOME' && '$hack' /u" /dev/null >"$TEST_TMP/un.out" 2>&1 || true
cmp -s "$dot" "$TEST_TMP/added" || problem "/u answered no on a terminal changed ~/.xscreensaver"
printf 'y\n' | script -qec "cd '$HOME' && '$hack' /u" /dev/null >"$TEST_TMP/uy.out" 2>&1 || true
cmp -s "$dot" "$TEST_TMP/original" || problem "/u answered yes on a terminal did not take the entry out: $(cat "$TEST_TMP/uy.out")"

note "/u --yes takes out an entry written over two lines, and says only what it did"
printf '%s\n%s\n  GL: \t\t\t\t%s -root -fps  \\\n    -no-sound \\n\\\n%s\n' '# XScreenSaver Preferences File' \
  'programs:								      \' "$hack" "${others#*$'\n'}" >"$dot"
mkdir -p "$dir"
echo "settings" >"$dir/tarnwick.txt"
run u1 /u --yes
[ "$CODE" = 0 ] || problem "/u --yes: exit code $CODE: $(cat "$TEST_TMP/u1.out")"
[ "$(cat "$dot")" = "$(printf '%s\n%s' '# XScreenSaver Preferences File' "$others")" ] ||
  problem "/u left more or less than the other entries: $(diff <(printf '%s\n%s\n' '# XScreenSaver Preferences File' "$others") "$dot")"
[ ! -e "$dir/tarnwick.txt" ] || problem "/u left the settings"
said u1 "settings" || problem "/u does not say it deleted the settings"
run u2 /u --yes
[ "$CODE" = 0 ] || problem "a second /u: exit code $CODE"
said u2 "removed from your xscreensaver list" && problem "a second /u says it removed the entry: $(cat "$TEST_TMP/u2.out")"
said u2 "settings were deleted" && problem "a second /u says it deleted the settings: $(cat "$TEST_TMP/u2.out")"
said u2 "not in the programs list" || problem "a second /u does not say the entry was not there: $(cat "$TEST_TMP/u2.out")"

note "/i leaves an entry the user switched off as it is"
printf 'programs: \\\n- GL: %s -root \\n\\\n  maze -root \\n\\\n\n' "$hack" >"$dot"
cp "$dot" "$TEST_TMP/off"
run i3 /i
cmp -s "$dot" "$TEST_TMP/off" || problem "/i changed the switched-off entry: $(cat "$dot")"
said i3 "switched off" || problem "/i does not say the entry is switched off: $(cat "$TEST_TMP/i3.out")"

note "/i does not replace a read-only ~/.xscreensaver"
cp "$TEST_TMP/original" "$dot"
chmod 444 "$dot"
run i4 /i
[ "$CODE" != 0 ] || problem "/i on a read-only ~/.xscreensaver exits 0"
said i4 "$dot is read-only" || problem "/i does not say ~/.xscreensaver is read-only: $(cat "$TEST_TMP/i4.out")"
cmp -s "$dot" "$TEST_TMP/original" || problem "/i changed a read-only ~/.xscreensaver"
chmod 644 "$dot"

note "/i from the distribution folder, twice, keeps the user's choices"
(cd "$TARNWICK_DIST_DIR" && "$TARNWICK" /i) </dev/null >"$TEST_TMP/h1.out" 2>&1 || problem "/i: $(cat "$TEST_TMP/h1.out")"
SETTINGS="$dir/tarnwick.txt"
write_settings 1 1 0 24 "$TARNWICK_DIST_DIR" 0 1
cp "$SETTINGS" "$TEST_TMP/choices"
(cd "$TARNWICK_DIST_DIR" && "$TARNWICK" /i) </dev/null >"$TEST_TMP/h2.out" 2>&1 || problem "second /i: $(cat "$TEST_TMP/h2.out")"
[ "$(tail -n +3 "$SETTINGS")" = "$(tail -n +3 "$TEST_TMP/choices")" ] ||
  problem "a second /i reset the choices: $(diff "$TEST_TMP/choices" "$SETTINGS")"
said h2 "already" || problem "a second /i does not say the entry was there: $(cat "$TEST_TMP/h2.out")"
(cd "$TARNWICK_DIST_DIR" && "$TARNWICK" /u --yes) </dev/null >"$TEST_TMP/h3.out" 2>&1 || problem "/u --yes: $(cat "$TEST_TMP/h3.out")"
[ ! -e "$dir" ] || problem "/u left $dir: $(ls -A "$dir")"
cmp -s "$dot" "$TEST_TMP/original" || problem "/i then /u did not give ~/.xscreensaver back"

[ "$problems" = 0 ] || fail "$problems problems"
echo PASS
