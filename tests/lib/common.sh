# Shared helpers for the script tests. Source it; it sets `set -euo pipefail`.
set -euo pipefail

# A scratch folder removed when the test ends.
TEST_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-test.XXXXXX")
XVFB_PID=""
cleanup_hooks=()
on_exit() { cleanup_hooks+=("$1"); }
run_cleanup() {
  local i
  for ((i = ${#cleanup_hooks[@]} - 1; i >= 0; i--)); do eval "${cleanup_hooks[$i]}" || true; done
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$TEST_TMP"
}
trap run_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

# Starts a private Xvfb of the given size (default 1280x720) and exports DISPLAY.
start_xvfb() {
  local size="${1:-1280x720}"
  local fifo="$TEST_TMP/displayfd"
  rm -f "$fifo.out"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset +extension GLX 3>"$fifo.out" 2>"$TEST_TMP/xvfb.log" &
  XVFB_PID=$!
  local n=0
  while [ ! -s "$fifo.out" ]; do
    sleep 0.1; n=$((n + 1))
    [ $n -lt 100 ] || fail "Xvfb did not start: $(cat "$TEST_TMP/xvfb.log")"
  done
  export DISPLAY=":$(head -n1 "$fifo.out")"
}

# Waits up to $2 seconds (default 10) for a command to succeed.
wait_for() {
  local cmd="$1" limit="${2:-10}" n=0
  while ! eval "$cmd" >/dev/null 2>&1; do
    sleep 0.1; n=$((n + 1))
    [ $n -lt $((limit * 10)) ] || return 1
  done
}

# True while process $1 runs (a zombie has ended: only its parent has not
# yet collected it).
alive() {
  local stat
  stat=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [ -n "$stat" ] && [[ "$stat" != Z* ]]
}

# Waits up to $2 s (default 10) for process $1, of any parent, to end; the
# time it took in GONE_MS.
wait_gone() {
  local start limit=$((${2:-10} * 1000)) now
  start=$(date +%s%N)
  while alive "$1"; do
    now=$(date +%s%N)
    [ $(((now - start) / 1000000)) -lt "$limit" ] || return 1
    sleep 0.05
  done
  GONE_MS=$((($(date +%s%N) - start) / 1000000))
}

# The pids of every process below process $1, one a line.
descendants() {
  local child
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    echo "$child"
    descendants "$child"
  done
}

# Pixels that differ between two pictures (a few levels of the renderer's
# noise allowed); 0 when they cannot be compared.
pixels_differ() {
  { compare -metric AE -fuzz 3% "$1" "$2" null: 2>&1 || true; } | awk '{ n = $1 + 0; print int(n) }'
}

# Waits up to $3 s (default 30) until a screenshot of window $1 ("root": the
# whole screen) differs from the picture $2 in more than $4 pixels (default
# 100): a new frame has been presented. The screenshot then replaces $2, and
# CHANGED holds how many pixels differed. A slow machine only makes it wait
# longer.
wait_for_new_frame() {
  local window="$1" picture="$2" limit=$((${3:-30} * 1000)) least="${4:-100}" start
  local shot="$TEST_TMP/new-frame.png"
  start=$(date +%s%N)
  CHANGED=0
  while :; do
    if import -window "$window" "$shot" 2>/dev/null; then
      CHANGED=$(pixels_differ "$picture" "$shot")
      if [ "$CHANGED" -gt "$least" ]; then
        mv "$shot" "$picture"
        return 0
      fi
    fi
    [ $((($(date +%s%N) - start) / 1000000)) -lt "$limit" ] || return 1
    sleep 0.2
  done
}

# True when process $1 presents two new frames in window $2 (default the
# whole screen) and is still running: input sent before the call has been
# seen by then, since a program handles its events between two frames.
presents_frames() {
  local window="${2:-root}" frame="$TEST_TMP/presented.png" n=0 start
  import -window "$window" "$frame" 2>/dev/null || return 1
  start=$(date +%s)
  while [ $n -lt 2 ]; do
    alive "$1" || return 1
    if import -window "$window" "$TEST_TMP/next.png" 2>/dev/null &&
      [ "$(pixels_differ "$frame" "$TEST_TMP/next.png")" -gt 100 ]; then
      mv "$TEST_TMP/next.png" "$frame"
      n=$((n + 1))
      continue
    fi
    [ $(($(date +%s) - start)) -lt 60 ] || return 1
    sleep 0.2
  done
  alive "$1"
}

# --- Sound through a private PulseAudio server ---------------------------
# start_pulse: a PulseAudio server of this test with one null sink "out",
# exported as PULSE_SERVER; its socket is open to every user. What the sink
# plays is recorded from "out.monitor".
start_pulse() {
  local dir="$TEST_TMP/pulse"
  mkdir -p "$dir"
  chmod 755 "$dir"
  HOME="$dir" XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --use-pid-file=no --log-target=stderr -L "module-null-sink sink_name=out" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/native" 2>"$dir/log" &
  PULSE_PID=$!
  on_exit 'kill "$PULSE_PID" 2>/dev/null; wait "$PULSE_PID" 2>/dev/null'
  export PULSE_SERVER="unix:$dir/native"
  wait_for "pactl info" 20 || fail "PulseAudio did not start: $(cat "$dir/log")"
}

# True when a program plays into the sink (has a stream open on it).
sink_in_use() { [ -n "$(pactl list sink-inputs short 2>/dev/null)" ]; }

# start_recording FILE: records the sink, 44.1 kHz 16-bit stereo raw, until
# stop_recording; returns once the recording runs.
SoundRate=44100
start_recording() {
  RECORDING="$1"
  parec -d out.monitor --format=s16le --rate=$SoundRate --channels=2 --latency-msec=20 >"$RECORDING" \
    2>"$TEST_TMP/parec.log" &
  PAREC_PID=$!
  on_exit '[ -z "$PAREC_PID" ] || kill "$PAREC_PID" 2>/dev/null'
  wait_for '[ -n "$(pactl list source-outputs short)" ]' 20 || fail "parec did not start: $(cat "$TEST_TMP/parec.log")"
}
stop_recording() {
  kill "$PAREC_PID" 2>/dev/null || true
  wait "$PAREC_PID" 2>/dev/null || true
  PAREC_PID=""
}
# Frames recorded so far.
recorded_frames() { echo $(($(stat -c %s "$RECORDING") / 4)); }
# Waits up to $2 s (default 60) until $1 more seconds have been recorded.
wait_recorded() {
  local target
  target=$(awk -v now="$(recorded_frames)" -v s="$1" -v r=$SoundRate 'BEGIN { printf "%d", now + s * r }')
  wait_for "[ \"\$(recorded_frames)\" -ge $target ]" "${2:-60}"
}

# The input options sox needs for a file: raw recordings have none of their own.
sox_input() {
  case "$1" in
  *.raw) echo "-t raw -r $SoundRate -e signed -b 16 -c 2 $1" ;;
  *) echo "$1" ;;
  esac
}

# scan_sound FILE [SKIP SPAN]: one line of figures about a recording, as
# NAME=VALUE words (seconds, milliseconds, dB):
#   first, last   the first and the last frame louder than -66 dB in either
#                 channel ("first=none" when there is none)
#   quiet, gaps   how long and in how many runs longer than 1 ms the sound
#                 fell silent between them: on a loaded machine these are
#                 mostly the sound server's underruns
#   left, right   the RMS levels of SPAN seconds of sound from SKIP seconds
#                 after the first frame, the silent runs left out ("short"
#                 when the sound was shorter)
#   wraps, gapped for a looped rising ramp: how often the left channel fell
#                 from the top of the ramp to its foot, the loop's seam, and
#                 how often silence lay in the seam
scan_sound() {
  # shellcheck disable=SC2046
  sox $(sox_input "$1") -t dat - | awk -v rate=$SoundRate -v skip="${2:-0.5}" -v span="${3:-1}" '
    function take(n, a, b) { if (c >= from && c < to) { sl += a; sr += b; w += n }; c += n }
    function db(sum) { return sum > 0 ? sprintf("%.2f", 10 * log(sum / w) / log(10)) : -200 }
    /^;/ { next }
    { f++; l = $2; r = $3
      if (l < 0.0005 && l > -0.0005 && r < 0.0005 && r > -0.0005) {
        if (first) { run++; rl += l * l; rr += r * r }
        next
      }
      if (!first) { first = f; from = skip * rate; to = from + span * rate }
      if (run > rate / 1000) { gaps++; quiet += run } else if (run) take(run, rl, rr)
      if (prev > 0.05 && l < -0.05) { wraps++; if (run >= 5) gapped++ }
      take(1, l * l, r * r)
      run = 0; rl = 0; rr = 0; prev = l; last = f }
    END {
      if (!first) { print "first=none"; exit }
      printf "first=%.3f last=%.3f quiet=%.1f gaps=%d ", (first - 1) / rate, (last - 1) / rate, quiet * 1000 / rate, gaps
      if (w < span * rate) printf "left=short right=short "; else printf "left=%s right=%s ", db(sl), db(sr)
      printf "wraps=%d gapped=%d\n", wraps, gapped }'
}

# The value of NAME in a line of scan_sound: figure NAME LINE.
figure() { sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" <<<"$2"; }

# Waits up to $2 s (default 120) until the recording holds $1 seconds of
# sound from half a second after its first sound on, silent runs not
# counted: however late the player starts and however often it underruns.
wait_for_sound() {
  local start left
  start=$(date +%s)
  # The sound mostly starts within a second of the recording.
  wait_recorded "$(awk -v s="$1" 'BEGIN { print s + 1.5 }')" "${2:-120}" || return 1
  while :; do
    left=$(figure left "$(scan_sound "$RECORDING" 0.5 "$1")")
    [ -n "$left" ] && [ "$left" != short ] && return 0
    [ $(($(date +%s) - start)) -lt "${2:-120}" ] || return 1
    wait_recorded 2 20 || return 1
  done
}

# The RMS levels of a whole wave file, "LEFT RIGHT" in dB.
source_levels() { sox "$1" -n stats 2>&1 | awk '/^RMS lev dB/ { print $5, $6 }'; }

# check_played SOURCE SPAN ATTENUATION: the current recording holds the
# looped source, ATTENUATION dB down (within 0.5 dB in each channel, over SPAN
# seconds, whole passes of the loop so that each sample counts alike), and
# its last second is silent (it went on for a second after the player
# stopped). The figures in SCAN.
check_played() {
  local source="$1" span="$2" down="$3" sl sr rl rr end last
  SCAN=$(scan_sound "$RECORDING" 0.5 "$span")
  note "recorded: $SCAN"
  [ "$(figure first "$SCAN")" != none ] || fail "nothing was recorded"
  read -r sl sr < <(source_levels "$source")
  rl=$(figure left "$SCAN")
  rr=$(figure right "$SCAN")
  [ "$rl" != short ] || fail "the sound lasted less than ${span} s: $SCAN"
  note "RMS level: source ${sl} / ${sr} dB, recorded ${rl} / ${rr} dB (left / right)"
  # A channel silent in the source (-inf) has no level to compare.
  level_matches "$rl" "$sl" "$down" && level_matches "$rr" "$sr" "$down" ||
    fail "recorded ${rl} / ${rr} dB, expected the source's ${sl} / ${sr} dB less ${down} dB"
  end=$(awk -v f="$(recorded_frames)" -v r=$SoundRate 'BEGIN { printf "%.3f", f / r }')
  last=$(figure last "$SCAN")
  greater "$(awk -v e="$end" -v l="$last" 'BEGIN { print e - l }')" 0.8 ||
    fail "the sound went on until ${last} s of ${end} s, after the player had stopped"
}

# level_matches RECORDED SOURCE ATTENUATION: true when RECORDED is SOURCE less
# ATTENUATION dB, within 0.5 dB, or SOURCE is a silent channel.
level_matches() {
  awk -v r="$1" -v s="$2" -v d="$3" 'BEGIN { if (s !~ /^-?[0-9.]+$/) exit 0; x = r - (s - d); exit !(x <= 0.5 && x >= -0.5) }'
}

# A rising ramp of 0.25 s, -8 dB at its peaks, on the left channel alone: the
# loop's seam is the fall from its top to its foot, which no underrun makes.
make_ramp_wave() { sox -D -n -r $SoundRate -b 16 "$1" synth 0.25 sawtooth 4 gain -8 remix 1 0; }

# check_seamless: the recording of the looped ramp shows more than 20 seams
# and sound right across most of them. Silence in every seam is a gap in the
# loop; a loaded machine's underruns fall into a few seams at random. The
# right channel stays silent.
check_seamless() {
  local wraps gapped
  wraps=$(figure wraps "$SCAN")
  gapped=$(figure gapped "$SCAN")
  note "loop seams: $wraps, with silence in $gapped"
  [ "$wraps" -gt 20 ] || fail "the loop ran through only $wraps seams"
  [ $((gapped * 2)) -lt "$wraps" ] || fail "the loop has a gap: silence in $gapped of $wraps seams"
  greater "$(figure left "$SCAN")" "$(awk -v r="$(figure right "$SCAN")" 'BEGIN { print r + 50 }')" ||
    fail "the right channel carries the left one's sound: $SCAN"
}

# True when $1 > $2 (decimals).
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# A copy of the suite's initialised Wine prefix in this test's scratch folder,
# exported as WINEPREFIX; the test's wineserver is ended on exit.
use_wine_prefix() {
  local template="$TARNWICK_BUILD_DIR/wine-template"
  [ -d "$template" ] || fail "no Wine prefix at $template (the wine_prefix fixture makes it)"
  export WINEPREFIX="$TEST_TMP/wine"
  cp -a "$template" "$WINEPREFIX"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=;mshtml="
  on_exit 'WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null; WINEPREFIX="$WINEPREFIX" wineserver -w 2>/dev/null'
}

# The Windows system directory of the current prefix.
wine_system_dir() { echo "$WINEPREFIX/drive_c/windows/system32"; }
