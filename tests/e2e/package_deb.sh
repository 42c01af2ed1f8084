#!/usr/bin/env bash
# The Debian package that `make package` writes, unpacked into a scratch root
# (nothing is installed on this machine): the files where Debian keeps its
# own xscreensaver hacks and nothing else, the scene's data, a "/i" that only
# adds the packaged program to ~/.xscreensaver, a dependency on
# the package of every library the program links, a manual page for every
# option the hack offers xscreensaver, and no error or warning from lintian.
source "$(dirname "$0")/../lib/common.sh"
VERSION=$(sed -n 's/.*TarnwickVersion\[\] = "\([^"]*\)".*/\1/p' "$TARNWICK_BUILD_DIR/generated/tarnwick_version.h")
[ -n "$VERSION" ] || fail "no version in $TARNWICK_BUILD_DIR/generated/tarnwick_version.h"
deb="$TARNWICK_BUILD_DIR/../packages/tarnwick_${VERSION}_amd64.deb"
[ -f "$deb" ] || fail "no $deb: \`make package\` writes it"

note "control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tarnwick ] || fail "package name $(field Package)"
[ "$(field Version)" = "$VERSION" ] || fail "package version $(field Version), the project's is $VERSION"
[ "$(field Architecture)" = amd64 ] || fail "architecture $(field Architecture)"

note "the files, where Debian's xscreensaver hacks keep theirs"
root="$TEST_TMP/root"
dpkg-deb -x "$deb" "$root"
listing="$TEST_TMP/listing"
dpkg-deb -c "$deb" >"$listing"
awk '$2 != "root/root" { bad = 1; print } END { exit bad }' "$listing" || fail "files not owned by root"
data_names() { (cd "$1" && find models sounds pictures -type f | sort); }
expected="$TEST_TMP/expected"
{
  printf '%s\n' usr/bin/tarnwick usr/libexec/xscreensaver/tarnwick \
    usr/share/xscreensaver/config/tarnwick.xml usr/share/man/man6/tarnwick.6x.gz \
    usr/share/applications/screensavers/tarnwick.desktop \
    usr/share/doc/tarnwick/copyright usr/share/doc/tarnwick/changelog.gz
  data_names "$TARNWICK_DIST_DIR" | sed 's|^|usr/share/tarnwick/|'
} | sort >"$expected"
(cd "$root" && find . ! -type d | sed 's|^\./||' | sort) >"$TEST_TMP/actual"
diff "$expected" "$TEST_TMP/actual" || fail "the package's files differ from the layout above (< missing, > extra)"
hack="$root/usr/libexec/xscreensaver/tarnwick"
[ -x "$hack" ] && file -b "$hack" | grep -q '^ELF 64-bit.*x86-64' || fail "no x86-64 program at $hack"
link=$(readlink "$root/usr/bin/tarnwick") || fail "usr/bin/tarnwick is not a link"
[ "$link" = ../libexec/xscreensaver/tarnwick ] || fail "usr/bin/tarnwick links to $link"
[ "$(stat -c %a "$root/usr/share/tarnwick/models/tarnwick.umf")" = 644 ] || fail "data files are not 0644"
cmp -s "$TARNWICK_DIST_DIR/models/tarnwick.umf" "$root/usr/share/tarnwick/models/tarnwick.umf" ||
  fail "the packaged lake model differs from the build's: \`make package\` again"

note "/i from the unpacked package copies nothing and offers the packaged program to xscreensaver"
home="$TEST_TMP/home"
mkdir "$home"
(cd "$home" && HOME="$home" XDG_CONFIG_HOME="$home/.config" DISPLAY= "$root/usr/bin/tarnwick" /i) >"$TEST_TMP/i.out" 2>&1 ||
  fail "/i: $(cat "$TEST_TMP/i.out")"
grep -q "^  GL: .*$hack -root" "$home/.xscreensaver" || fail "/i did not add $hack to ~/.xscreensaver: $(cat "$TEST_TMP/i.out")"
[ -z "$(find "$home" -mindepth 1 ! -name .xscreensaver)" ] || fail "/i wrote more than ~/.xscreensaver: $(find "$home")"

note "dependencies: the package of every library the program links"
depends=$(field Depends)
echo "Depends: $depends"
named=$(tr ',|' '\n\n' <<<"$depends" | awk '{ print $1 }')
# The package of the library file the loader takes (dpkg lists it under
# /lib or /usr/lib, whichever the package ships).
owner_of() {
  local path
  path=$(ldd "$hack" | awk -v lib="$1" '$1 == lib && $2 == "=>" { print $3 }')
  [ -n "$path" ] || return 1
  for p in "$path" "/usr${path#/usr}" "${path#/usr}" "$(readlink -f "$path")"; do
    dpkg-query -S "$p" 2>/dev/null | head -n1 | sed 's/[:,].*//' | grep . && return 0
  done
  return 1
}
for lib in $(objdump -p "$hack" | awk '$1 == "NEEDED" { print $2 }'); do
  owner=$(owner_of "$lib") || fail "no package on this machine holds $lib"
  grep -qxF "$owner" <<<"$named" || fail "$lib comes from $owner, which Depends does not name"
done

note "the manual page documents every option of the hack's settings description"
page="$TEST_TMP/page.txt"
MANWIDTH=100 man -l "$root/usr/share/man/man6/tarnwick.6x.gz" 2>/dev/null | col -b >"$page"
grep -q '^NAME' "$page" && grep -q 'XDG_CONFIG_HOME' "$page" || fail "the manual page does not read as one"
for option in $(grep -o 'arg\(-set\)\?="[^"]*"' "$TARNWICK_SOURCE_DIR/xscreensaver/tarnwick.xml" | sed 's/.*="\(.*\)"/\1/'); do
  grep -q -- "-${option}\b" "$page" || fail "the manual page does not mention $option"
done

note "lintian"
out="$TEST_TMP/lintian.out"
status=0
lintian --fail-on error,warning --display-info "$deb" >"$out" 2>&1 || status=$?
cat "$out"
[ "$status" = 0 ] || fail "lintian found errors or warnings (exit code $status)"
echo PASS
