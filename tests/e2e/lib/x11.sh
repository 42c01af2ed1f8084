# Helpers of the script tests that drive the Linux program `tarnwick` under
# Xvfb. Source after tests/lib/common.sh.

TARNWICK="$TARNWICK_DIST_DIR/tarnwick"
[ -x "$TARNWICK" ] || fail "no $TARNWICK"
# The settings live in a scratch XDG_CONFIG_HOME; sound goes nowhere.
export XDG_CONFIG_HOME="$TEST_TMP/config"
export ALSOFT_DRIVERS=null
SETTINGS="$XDG_CONFIG_HOME/tarnwick/tarnwick.txt"

# write_settings MOUSE FPS TIME FORMAT [HOME [SOUND [EVERY]]]: the six lines,
# home by default the distribution folder; lines 7 (play sound) and 8 (every
# monitor) when given.
write_settings() {
  mkdir -p "$(dirname "$SETTINGS")"
  printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n' \
    "${5:-$TARNWICK_DIST_DIR}" "$1" "$2" "$3" "$4" >"$SETTINGS"
  [ -z "${6:-}" ] || printf '%s\r\n' "$6" >>"$SETTINGS"
  [ -z "${7:-}" ] || printf '%s\r\n' "$7" >>"$SETTINGS"
}

# Client positions of the settings dialog's controls (their centres) at the
# default font size.
MOUSE_EXIT="27 35"; FPS_SHOW="27 55"; PLAY_SOUND="27 115"; EVERY_MONITOR="27 135"; ABOUT="321 143"
RESTORE="58 236"; OK="295 236"; CANCEL="350 236"

# The id of the first window whose title is exactly $1 (waits up to $2 s).
window_named() {
  local id="" n=0 limit=$((${2:-20} * 10))
  while [ -z "$id" ]; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && break
    sleep 0.1; n=$((n + 1))
    [ $n -lt $limit ] || return 1
  done
  echo "$id"
}

# The mean brightness (0..1) of a screenshot region: shot FILE [GEOMETRY].
mean_of() { convert "$1" ${2:+-crop "$2"} -format '%[fx:mean]' info:; }

# Waits up to $1 s (default 30) until window $2 (default the whole screen)
# shows more than darkness (the lake); the last screenshot in $TEST_TMP/lake.png.
wait_for_lake() {
  local n=0 limit=$((${1:-30} * 2))
  while :; do
    import -window "${2:-root}" "$TEST_TMP/lake.png" 2>/dev/null && greater "$(mean_of "$TEST_TMP/lake.png")" 0.1 &&
      return 0
    sleep 0.5; n=$((n + 1))
    [ $n -lt $limit ] || return 1
  done
}

# Waits up to $2 s (default 20) until window $1 shows the distribution's
# logo at (0, 0); the screenshot in $TEST_TMP/shown.png. xev's own inner
# window covers (10, 10) to (60, 60): the logo is compared beside it.
wait_for_logo() {
  local logo="$TARNWICK_DIST_DIR/pictures/logo.bmp"
  wait_for "import -window '$1' -crop 152x112+0+0 +repage '$TEST_TMP/shown.png' &&
    [ \"\$(pixels_differ '$TEST_TMP/shown.png[60x100+70+6]' '$logo[60x100+70+6]')\" -lt 60 ]" "${2:-20}"
}

# start_openbox: openbox, an EWMH window manager, on the test's display;
# returns once it manages the screen.
start_openbox() {
  openbox --sm-disable >"$TEST_TMP/openbox.log" 2>&1 &
  OPENBOX_PID=$!
  on_exit 'kill "$OPENBOX_PID" 2>/dev/null; wait "$OPENBOX_PID" 2>/dev/null'
  wait_for 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' 20 ||
    fail "openbox did not start: $(cat "$TEST_TMP/openbox.log")"
}

# make_dock HEIGHT: a white dock window of the test's own along the bottom
# edge that keeps HEIGHT pixels free of other windows (its strut); its id in
# DOCK, its client's pid in DOCK_PID. Returns once the window manager has
# taken it as a dock.
make_dock() {
  local width height
  read -r width height < <(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
  xev -name "Tarnwick Test Dock" -geometry "${width}x$1+0+$((height - $1))" -event structure >/dev/null 2>&1 &
  DOCK_PID=$!
  on_exit 'kill "$DOCK_PID" 2>/dev/null'
  DOCK=$(window_named "Tarnwick Test Dock" 10) || fail "the dock window did not appear"
  # A window's type is read when it is mapped: withdraw it, mark it, map it again.
  xdotool windowunmap --sync "$DOCK"
  xprop -id "$DOCK" -f _NET_WM_WINDOW_TYPE 32a -set _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DOCK
  xprop -id "$DOCK" -f _NET_WM_STRUT_PARTIAL 32c -set _NET_WM_STRUT_PARTIAL "0,0,0,$1,0,0,0,0,0,0,0,$((width - 1))"
  xdotool windowmap --sync "$DOCK"
  wait_for "xprop -root _NET_WORKAREA | grep -q '= 0, 0, $width, $((height - $1)),'" 10 ||
    fail "the window manager did not take the dock: $(xprop -root _NET_WORKAREA)"
}

# The window the window manager has made active (a decimal id, 0 for none).
active_window() { printf '%d\n' "$(xprop -root _NET_ACTIVE_WINDOW | awk '{ print $NF }')"; }

# True when the window manager stacks window $1 above window $2.
stacked_above() {
  xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' | while read -r w; do printf '%d\n' "$w"; done |
    awk -v a="$1" -v b="$2" '$1 == a { pa = NR } $1 == b { pb = NR } END { exit !(pa && pb && pa > pb) }'
}

# Still running once it has seen the input sent before? still_running PID
# [WINDOW]: it has presented two new frames since (in WINDOW, by default the
# whole screen).
still_running() { presents_frames "$1" "${2:-root}"; }

# Waits up to $2 s for PID $1 (a child of this shell) to end; its exit code
# in EXIT_CODE ("timeout" if it did not end).
wait_exit() {
  local n=0 limit=$((${2:-10} * 10))
  EXIT_CODE=timeout
  while [ -n "$(ps -o stat= -p "$1" 2>/dev/null | grep -v Z)" ]; do
    sleep 0.1; n=$((n + 1))
    [ $n -lt $limit ] || return 0
  done
  EXIT_CODE=0
  wait "$1" || EXIT_CODE=$?
}

# A plain X window of the given geometry that the test owns, standing in for
# xscreensaver's window or the control panel's preview: its id in TARGET,
# its client's pid in TARGET_PID. (xev's small inner window sits at 10,10.)
make_target_window() {
  xev -name "Tarnwick Test Target" -geometry "$1" -event structure >/dev/null 2>&1 &
  TARGET_PID=$!
  TARGET=$(window_named "Tarnwick Test Target" 10) || fail "the test's window did not appear"
}

# --- The real xscreensaver daemon (6.x) ----------------------------------
# It refuses to start hacks as root: the daemon runs as "nobody", in a
# scratch folder of the test's whose ~/.xscreensaver names the hacks.

# saver_folder: the folder SAVER that user nobody may read, with the daemon's
# home SAVER_HOME inside it; the test's scratch folder lets nobody pass only.
saver_folder() {
  id nobody >/dev/null 2>&1 || fail "no user 'nobody' to run the daemon as"
  chmod 711 "$TEST_TMP"
  SAVER="$TEST_TMP/saver"
  SAVER_HOME="$SAVER/home"
  mkdir -p "$SAVER_HOME"
}

# saver_programs ENTRY...: the daemon's ~/.xscreensaver, the entries (each a
# hack's command line) its programs list; mode one runs the first. It never
# blanks, locks or fades by itself.
saver_programs() {
  local entry
  {
    printf '%s\n' 'timeout:	8:00:00' 'cycle:		0:00:00' 'lock:		False' 'fade:		False' 'unfade:		False' \
      'splash:		False' 'dpmsEnabled:	False' 'grabDesktopImages:	False' 'mode:		one' 'selected:	0' \
      'programs:						\'
    for entry in "$@"; do printf '  GL: \t%s\t\t\t\t\\n\\\n' "$entry"; done
    echo
  } >"$SAVER_HOME/.xscreensaver"
}

# start_daemon PROGRAM: the daemon as nobody on the test's display, run from
# SAVER with SAVER_HOME as its home; PROGRAM is the hacks' executable file.
# The hacks play into PULSE_SERVER when the test runs one, else nowhere. Its
# pid in DAEMON_PID, its -verbose log in $TEST_TMP/daemon.log; returns once
# it answers xscreensaver-command, and is ended when the test ends.
start_daemon() {
  local drivers=null
  SAVER_PROGRAM=$(readlink -f "$1")
  printf '[general]\nperiod_size = 4096\nperiods = 4\n' >"$SAVER/alsoft.conf"
  chmod -R a+rX "$SAVER"
  chown -R nobody:nogroup "$SAVER_HOME"
  setpriv --reuid=nobody --regid=nogroup --clear-groups test -x "$SAVER_PROGRAM" ||
    fail "the user nobody cannot reach $SAVER_PROGRAM: TMPDIR must lie where every user may pass"
  [ -z "${PULSE_SERVER:-}" ] || drivers=pulse
  env -C "$SAVER" -i DISPLAY="$DISPLAY" HOME="$SAVER_HOME" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    PULSE_SERVER="${PULSE_SERVER:-}" ALSOFT_DRIVERS=$drivers ALSOFT_CONF="$SAVER/alsoft.conf" \
    setpriv --reuid=nobody --regid=nogroup --clear-groups xscreensaver -no-splash -verbose >"$TEST_TMP/daemon.log" 2>&1 &
  DAEMON_PID=$!
  on_exit stop_daemon
  wait_for "xscreensaver-command -version" 30 || { cat "$TEST_TMP/daemon.log"; fail "the daemon did not start"; }
}
# The daemon ends its own children; whatever outlives it is ended by its pid.
stop_daemon() {
  local left pid
  left=$(descendants "$DAEMON_PID")
  kill "$DAEMON_PID" 2>/dev/null || true
  wait "$DAEMON_PID" 2>/dev/null || true
  for pid in $left; do
    alive "$pid" && kill "$pid" 2>/dev/null && wait_gone "$pid" 10 || true
  done
}
# ask ARGUMENT...: xscreensaver-command, its output in $TEST_TMP/command.log.
ask() { xscreensaver-command "$@" >>"$TEST_TMP/command.log" 2>&1 || fail "xscreensaver-command $* failed"; }

# The live processes of the hack program below the daemon (it starts them
# through no shell), one pid a line.
hacks() {
  local pid
  for pid in $(descendants "$DAEMON_PID"); do
    alive "$pid" && [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$SAVER_PROGRAM" ] && echo "$pid"
  done
  return 0
}
# The saver's window that hack $1 was given to draw into (XSCREENSAVER_WINDOW).
# Nothing when the hack has ended.
saver_window() { { tr '\0' '\n' <"/proc/$1/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p'; } 2>/dev/null || true; }
# lake_moves WINDOW: the lake shows in the saver's window WINDOW and moves;
# the last frame in $TEST_TMP/saver.png.
lake_moves() {
  wait_for_lake 40 "$1" || { tail -20 "$TEST_TMP/daemon.log"; fail "the lake never appeared in the saver's window $1"; }
  wait_for_new_frame "$1" "$TEST_TMP/lake.png" 60 100 || fail "the lake in the saver's window $1 does not move"
  cp "$TEST_TMP/lake.png" "$TEST_TMP/saver.png"
}
# hacks_ended WHAT PID...: the hacks end soon after WHAT (the daemon's
# SIGTERM) and leave no process and no sound behind.
hacks_ended() {
  local what="$1" pid
  shift
  for pid in "$@"; do
    # On an idle machine well within a second (printed); the limit is wide so
    # that a loaded one, where the daemon's niced hack waits for the
    # processor, does not fail the test.
    wait_gone "$pid" 20 || fail "pid $pid still runs 20 s after $what"
    note "pid $pid ended $GONE_MS ms after $what"
  done
  [ -z "$(hacks)" ] || fail "hack processes are left after $what: $(hacks)"
  pgrep -f "^$SAVER_PROGRAM" >/dev/null && fail "a hack left the daemon and still runs"
  [ -z "${PULSE_SERVER:-}" ] || wait_for '! sink_in_use' 10 || fail "the sound goes on after $what"
}

# Asks window $1 to close as a window manager's close box does: a
# WM_DELETE_WINDOW message, sent and flushed before this returns.
close_window() {
  python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(Event)]
dpy = x.XOpenDisplay(None)
if not dpy:
    sys.exit("close_window: no display")
# A window that is gone already is no error: the test checks what follows.
on_error = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
x.XSetErrorHandler(on_error)
window = int(sys.argv[1], 0)
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = window
event.xclient.message_type = x.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.l[0] = x.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(dpy, window, 0, 0, ctypes.byref(event))
x.XSync(dpy, 0)
PY
}

# Clicks client position "$2" of window $1 until a window titled $3 shows
# (a window just mapped may not take clicks yet); its id goes to stdout.
click_until_window() {
  local id n=0
  while :; do
    xdotool mousemove --sync --window "$1" $2 click 1
    id=$(window_named "$3" 1) && { echo "$id"; return 0; }
    n=$((n + 1))
    [ $n -lt 10 ] || return 1
  done
}

# The test's own X clients (tools/x11test): a window churner, a keyboard grabber.
X11TEST="$TARNWICK_BIN_DIR/x11test"

# Waits up to $3 s (default 10) for the line $2 in file $1, a client's output.
wait_line() { wait_for "grep -qx '$2' '$1'" "${3:-10}"; }

# Two monitors side by side: a Xephyr whose two 1280 x 720 screens are one
# Xinerama screen of 2560 x 720, nested in a private Xvfb. The root shows
# the classic grey weave, so a head that nothing covers is plain to see.
# DISPLAY becomes the Xephyr's; its pid is XEPHYR_PID.
start_two_heads() {
  start_xvfb 2560x720
  Xephyr -displayfd 4 -retro +xinerama -screen 1280x720+0+0 -screen 1280x720+1280+0 -nolisten tcp -noreset \
    4>"$TEST_TMP/xephyr.fd" 2>"$TEST_TMP/xephyr.log" &
  XEPHYR_PID=$!
  on_exit 'kill "$XEPHYR_PID"'
  wait_for "[ -s '$TEST_TMP/xephyr.fd' ]" 20 || fail "Xephyr did not start: $(cat "$TEST_TMP/xephyr.log")"
  export DISPLAY=":$(head -n1 "$TEST_TMP/xephyr.fd")"
}
