#!/usr/bin/env bash
# The three packages that `make package` writes rebuild bit for bit. A second
# build of the same commit writes every file again, with the time it was
# written; here every packed file is touched the same way and CPack run
# again on both builds, into a scratch folder: the .deb, the zip and the
# setup program come out byte for byte as `make package` wrote them. The
# Windows program carries no link time in its header.
#
# The touch makes the Windows build copy the scene data again on its next
# run; nothing is rebuilt.
source "$(dirname "$0")/../lib/common.sh"
version=$(sed -n 's/.*TarnwickVersion\[\] = "\([^"]*\)".*/\1/p' "$TARNWICK_BUILD_DIR/generated/tarnwick_version.h")
[ -n "$version" ] || fail "no version in $TARNWICK_BUILD_DIR/generated/tarnwick_version.h"
packages="$TARNWICK_BUILD_DIR/../packages"
windows_build="$(dirname "$TARNWICK_WINDOWS_BIN")"
names=("tarnwick_${version}_amd64.deb" "tarnwick-${version}-windows-x64.zip" "tarnwick-${version}-windows-x64-setup.exe")
for name in "${names[@]}"; do
  [ -f "$packages/$name" ] || fail "no $packages/$name: \`make package\` writes it"
done

note "no link time in the Windows program"
exe="$TARNWICK_WINDOWS_DIST/Tarnwick.exe"
# The PE header's offset at 0x3c; its time stamp 8 bytes in.
pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
stamp=$(od -An -tu4 -j$((pe + 8)) -N4 "$exe" | tr -d ' ')
faults=()
[ "$stamp" = 0 ] || faults+=("Tarnwick.exe carries the link time $(date -u -d "@$stamp")")

note "packaged again from touched files"
find "$TARNWICK_DIST_DIR" "$TARNWICK_WINDOWS_DIST" "$TARNWICK_BUILD_DIR/packaging" "$windows_build/packaging" \
  -type f -exec touch {} +
(cd "$TARNWICK_BUILD_DIR" && cpack -B "$TEST_TMP/again") >"$TEST_TMP/linux.out" 2>&1 ||
  fail "cpack in the Linux build: $(cat "$TEST_TMP/linux.out")"
(cd "$windows_build" && cpack -B "$TEST_TMP/again") >"$TEST_TMP/windows.out" 2>&1 ||
  fail "cpack in the Windows build: $(cat "$TEST_TMP/windows.out")"
for name in "${names[@]}"; do
  if cmp "$packages/$name" "$TEST_TMP/again/$name"; then
    note "$name: the same $(stat -c %s "$TEST_TMP/again/$name") bytes"
  else
    faults+=("packaged again, $name differs (or the build changed since \`make package\`)")
  fi
done
[ ${#faults[@]} = 0 ] || fail "$(printf '%s; ' "${faults[@]}")"
echo PASS
