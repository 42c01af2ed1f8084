#!/usr/bin/env bash
# The Windows setup program that `make package` writes, in a fresh prefix:
# "setup.exe /S" puts the program and its data into Program Files\Tarnwick,
# the screensaver and its default settings (naming that folder) into the
# system folder and an entry into "Installed apps"; the installed
# screensaver shows the lake from there. Its uninstaller with /S leaves
# nothing of ours; without /S it runs "Tarnwick.scr /u", whose boxes are
# answered, and removes the rest. The setup program wears the program's icon
# and shows the lake beside its welcome page. Installed again, it keeps the
# user's choices; installed into a folder of the user's, its uninstaller
# removes what it put there and nothing of the user's.
source "$(dirname "$0")/../lib/common.sh"
start_xvfb 640x480
use_wine_prefix
source "$(dirname "$0")/shell_helpers.bash"
sys="$(wine_system_dir)"
version=$(sed -n 's/.*TarnwickVersion\[\] = "\([^"]*\)".*/\1/p' "$TARNWICK_BUILD_DIR/generated/tarnwick_version.h")
setup="$TARNWICK_BUILD_DIR/../packages/tarnwick-${version}-windows-x64-setup.exe"
[ -f "$setup" ] || fail "no $setup: \`make package\` writes it"
size=$(stat -c %s "$setup")
note "setup program: $((size / 1024)) KiB"
[ "$size" -le $((12 * 1024 * 1024)) ] || fail "the setup program is larger than 12 MiB"
folder="$WINEPREFIX/drive_c/Program Files/Tarnwick"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick'

note "the setup program's icon and side picture"
probe resources "$EXE" | grep '^icon' >"$TEST_TMP/program-icon" || fail "Tarnwick.exe carries no icon"
probe resources "$setup" | grep '^icon' >"$TEST_TMP/setup-icon" || true
diff "$TEST_TMP/program-icon" "$TEST_TMP/setup-icon" || fail "the setup program's icon is not the program's (< program, > setup)"
picture="$TARNWICK_DIST_DIR/tarnwick-setup.bmp"
[ -f "$picture" ] || fail "no side picture $picture"
[ "$(identify -format '%wx%h' "$picture")" = 164x314 ] || fail "the side picture is $(identify -format '%wx%h' "$picture"), not 164x314"
# The welcome page shows the picture from the file setup unpacks for it.
wine "$setup" >/dev/null 2>&1 &
wizard=$!
shown() { cmp -s "$picture" "$(find "$WINEPREFIX/drive_c/users" -path '*/ns*.tmp/modern-wizard.bmp' | head -n1)"; }
wait_for shown 60 || fail "the welcome page shows another side picture than $picture"
kill "$wizard"
wait "$wizard" 2>/dev/null || true

# Runs the setup program silently and waits for it.
install() {
  wine "$setup" /S >"$TEST_TMP/setup.out" 2>&1 || fail "setup /S ended with $? $(cat "$TEST_TMP/setup.out")"
}
# The uninstaller hands over to a copy of itself and ends at once: the
# copy's work is done when the install folder has gone.
wait_removed() {
  wait_for "[ ! -e '$folder' ]" 60 || fail "the install folder stays: $(find "$folder" | head)"
}
# Fails when anything setup put there is left.
check_nothing_left() {
  local f
  for f in "$folder" "$sys/Tarnwick.scr" "$sys/tarnwick.txt"; do
    [ ! -e "$f" ] || fail "the uninstaller left $f"
  done
  wine reg query "$key" >/dev/null 2>&1 && fail "the uninstaller left the registry entry $key"
  return 0
}

note "setup /S in a fresh prefix"
[ ! -e "$sys/Tarnwick.scr" ] || fail "the fresh prefix already has the screensaver"
install
(
  printf '%s\n' Tarnwick.scr uninstall.exe
  cd "$TARNWICK_WINDOWS_DIST" && find models sounds pictures -type f
) | sort >"$TEST_TMP/expected"
(cd "$folder" && find . -type f | sed 's|^\./||' | sort) >"$TEST_TMP/actual"
diff "$TEST_TMP/expected" "$TEST_TMP/actual" || fail "Program Files\\Tarnwick holds other files (< missing, > extra)"
cmp -s "$TARNWICK_WINDOWS_DIST/models/tarnwick.umf" "$folder/models/tarnwick.umf" || fail "the installed lake model differs"
cmp -s "$folder/Tarnwick.scr" "$sys/Tarnwick.scr" || fail "the system folder holds no copy of the installed Tarnwick.scr"
printf '%s\r\n' "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }" \
  'C:\Program Files\Tarnwick' 0 0 1 12 1 0 >"$TEST_TMP/settings.txt"
cmp "$TEST_TMP/settings.txt" "$sys/tarnwick.txt" || { cat -A "$sys/tarnwick.txt"; fail "the settings differ from the defaults naming the install folder"; }

note "the entry in Installed apps"
wine reg query "$key" 2>/dev/null | tr -d '\r' >"$TEST_TMP/entry.out" || fail "no registry entry $key"
cat "$TEST_TMP/entry.out"
expect_line "$TEST_TMP/entry.out" '^ +DisplayName +REG_SZ +Tarnwick 3D Screensaver$'
expect_line "$TEST_TMP/entry.out" "^ +DisplayVersion +REG_SZ +${version//./\\.}\$"
expect_line "$TEST_TMP/entry.out" '^ +Publisher +REG_SZ +Moonquill$'
expect_line "$TEST_TMP/entry.out" '^ +DisplayIcon +REG_SZ +C:\\Program Files\\Tarnwick\\Tarnwick\.scr,0$'
expect_line "$TEST_TMP/entry.out" '^ +UninstallString +REG_SZ +"C:\\Program Files\\Tarnwick\\uninstall\.exe"$'
expect_line "$TEST_TMP/entry.out" '^ +QuietUninstallString +REG_SZ +"C:\\Program Files\\Tarnwick\\uninstall\.exe" /S$'
kib=$(sed -n 's/^ *EstimatedSize *REG_DWORD *0x\([0-9a-f]*\)$/\1/p' "$TEST_TMP/entry.out")
installed=$(du -sk "$folder" | cut -f1)
[ -n "$kib" ] && [ $((16#$kib)) -ge $((installed * 9 / 10)) ] && [ $((16#$kib)) -le $((installed * 11 / 10)) ] ||
  fail "EstimatedSize 0x$kib KiB is not the install folder's $installed KiB"

note "the installed screensaver shows the lake"
cd "$TEST_TMP"
wine "$sys/Tarnwick.scr" /s >"$TEST_TMP/run.out" 2>&1 &
run=$!
probe window "$MAIN_CLASS" 60000 >/dev/null || { cat "$TEST_TMP/run.out"; fail "no window"; }
lit() {
  import -window root "$TEST_TMP/one.png" &&
    [ "$(convert "$TEST_TMP/one.png" -format '%[fx:int(mean*1000)]' info:)" -gt 50 ]
}
wait_for lit 60 || fail "the screen stays dark: no lake from the installed data"
xdotool key x
wait_for "! kill -0 $run" 10 || fail "the run did not end on a key"

note "installed again over the first, the user's choices stay"
printf '%s\r\n' "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }" \
  'C:\Elsewhere' 1 1 0 24 0 1 >"$sys/tarnwick.txt"
install
printf '%s\r\n' "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }" \
  'C:\Program Files\Tarnwick' 1 1 0 24 0 1 >"$TEST_TMP/kept.txt"
cmp "$TEST_TMP/kept.txt" "$sys/tarnwick.txt" || { cat -A "$sys/tarnwick.txt"; fail "installed again, the user's choices were not kept"; }

note "the uninstaller with /S, also removing the choices the user saved"
user="$(wine_user_settings)"
mkdir -p "$(dirname "$user")" && cp "$sys/tarnwick.txt" "$user"
wine "$folder/uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller ended with $?"
wait_removed
check_nothing_left
[ ! -e "$(dirname "$user")" ] || fail "the user's settings stay: $(ls -A "$(dirname "$user")")"

note "installed again, the uninstaller without /S runs Tarnwick.scr /u"
install
[ -e "$sys/Tarnwick.scr" ] || fail "installing again put no screensaver into the system folder"
wine "$folder/uninstall.exe" >/dev/null 2>&1 &
probe msgbox Uninstall 30000 1 >"$TEST_TMP/ask.out" || fail "Tarnwick.scr /u did not ask"
expect_line "$TEST_TMP/ask.out" '^text: This program will uninstall Tarnwick Screensaver'
probe msgbox Uninstall 30000 1 >"$TEST_TMP/done.out" || fail "Tarnwick.scr /u reported no success"
expect_line "$TEST_TMP/done.out" 'successfully removed'
wait_removed
check_nothing_left

note "installed into a folder of the user's, the uninstaller leaves the user's files"
mine="$WINEPREFIX/drive_c/users/Public/Documents/Lake"
mkdir -p "$mine/pictures" "$mine/models"
echo holiday >"$mine/pictures/holiday.bmp"
echo boat >"$mine/models/boat.umf"
echo notes >"$mine/notes.txt"
(cd "$mine" && find . | sort) >"$TEST_TMP/mine"
wine "$setup" /S '/D=C:\users\Public\Documents\Lake' >"$TEST_TMP/setup.out" 2>&1 || fail "setup /S /D= ended with $?"
[ -e "$mine/Tarnwick.scr" ] && [ -e "$mine/models/tarnwick.umf" ] || fail "setup /D= did not install into $mine"
wine "$mine/uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller ended with $?"
only_mine() { (cd "$mine" && find . | sort) | cmp -s - "$TEST_TMP/mine"; }
wait_for only_mine 60 || { (cd "$mine" && find . | sort) | diff "$TEST_TMP/mine" -; fail "the folder does not hold just the user's files again (< gone, > left)"; }
for f in "$sys/Tarnwick.scr" "$sys/tarnwick.txt"; do
  [ ! -e "$f" ] || fail "the uninstaller left $f"
done
echo PASS
