# Helpers of the script tests that drive the Linux program `tarnwick` under
# Xvfb. Source after tests/lib/common.sh.

TARNWICK="$TARNWICK_DIST_DIR/tarnwick"
[ -x "$TARNWICK" ] || fail "no $TARNWICK"
# The settings live in a scratch XDG_CONFIG_HOME; sound goes nowhere.
export XDG_CONFIG_HOME="$TEST_TMP/config"
export ALSOFT_DRIVERS=null
SETTINGS="$XDG_CONFIG_HOME/tarnwick/tarnwick.txt"

# write_settings MOUSE FPS TIME FORMAT: the six lines, home = the distribution folder.
write_settings() {
  mkdir -p "$(dirname "$SETTINGS")"
  printf 'Configuration File { home dir, exit on mouse, fps, time, time (12,24) }\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n' \
    "$TARNWICK_DIST_DIR" "$1" "$2" "$3" "$4" >"$SETTINGS"
}

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
# True when $1 > $2 (decimals).
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Waits until the screen shows more than darkness (the lake), up to $1 s.
wait_for_lake() {
  local n=0 limit=$((${1:-30} * 2))
  while :; do
    import -window root "$TEST_TMP/lake.png" 2>/dev/null && greater "$(mean_of "$TEST_TMP/lake.png")" 0.1 && return 0
    sleep 0.5; n=$((n + 1))
    [ $n -lt $limit ] || return 1
  done
}

# Still running after $2 s? running PID SECONDS
still_running() { sleep "$2"; kill -0 "$1" 2>/dev/null; }

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

# True while PID $1 runs (a finished child that was not waited for is not running).
running() { [ -n "$(ps -o stat= -p "$1" 2>/dev/null | grep -v Z)" ]; }

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
